#include "link/link.h"

#include <algorithm>
#include <limits>

#include "common/messages.h"
#include "protocol/frame_view.h"

namespace kv {

namespace {

// The longest time-out kept, in seconds, so that its tenths fit an int.
constexpr int kMaxTimeoutSeconds = std::numeric_limits<int>::max() / 10;

LinkListener& SilentListener() {
  static LinkListener silent;
  return silent;
}

}  // namespace

uclTzif::uclTzif(Transport& transport, const Clock& clock)
    : transport_(transport), clock_(clock), log_(clock) {}

uclTzif::~uclTzif() {
  waiter_ = {};
  sink_ = nullptr;
  if (runner_) {
    // Destroying the top-level frame destroys the whole chain of tasks it awaits.
    std::exchange(runner_, {}).destroy();
  }
}

LinkListener& uclTzif::Events() { return listener_ != nullptr ? *listener_ : SilentListener(); }

int uclTzif::Timeout() const {
  int seconds = timeoutTenths_ / 10;
  const int remainder = timeoutTenths_ % 10;
  if (remainder > 5 || (remainder == 5 && seconds % 2 == 1)) {
    ++seconds;
  }
  return seconds;
}

void uclTzif::SetTimeout(int seconds) {
  if (seconds < 0) {
    seconds = 0;
  } else if (seconds > kMaxTimeoutSeconds) {
    seconds = kMaxTimeoutSeconds;
  }
  timeoutTenths_ = seconds * 10;
}

int uclTzif::StreamSilenceLimit() const {
  return std::max(timeoutTenths_, streamSilenceTenths_) / kTicksPerSecond;
}

void uclTzif::SetStreamSilenceLimit(int seconds) {
  streamSilenceTenths_ = std::clamp(seconds, 0, kMaxTimeoutSeconds) * kTicksPerSecond;
}

void uclTzif::ReceiveStream(BinaryReceiver receiver) {
  DriveScope scope(*this);
  binaryReceiver_ = std::move(receiver);
  status_ = LinkStatus::BinaryTransfer;
  replyTicks_ = StreamSilenceLimit() * kTicksPerSecond;
  retryCount_ = retry_;
  receiveBuffer_.Clear();
}

void uclTzif::SetStatus(LinkStatus status) {
  DriveScope scope(*this);
  status_ = status;
}

bool uclTzif::Connected() const { return serialComm_ || state_ == LinkState::Connected; }

void uclTzif::SetRunDensty(bool run) {
  if (run && !runDensty_) {
    denstyCountdown_ = kDenstyPollTicks;
  }
  runDensty_ = run;
}

OpenResult uclTzif::SetPortOpen(bool open) {
  if (!open) {
    transport_.Close();
    return OpenResult::Opened();
  }
  if (!transport_.IsOpen()) {
    OpenResult opened = transport_.Open();
    if (!opened) {
      return opened;
    }
  }
  OnPortOpened();
  return OpenResult::Opened();
}

bool uclTzif::DisConnect() {
  DriveScope scope(*this);
  status_ = LinkStatus::Ready;
  tickCounter_ = 0;
  return false;
}

void uclTzif::Reset() {
  DriveScope scope(*this);
  lastLineSent_.clear();
  pendingCode_.clear();
  state_ = LinkState::Offline;
  faultCount_ = 0;
  status_ = LinkStatus::Idle;
  connectDelayTicks_ = 0;
}

void uclTzif::RememberSent(std::string_view lastLine, std::string_view head, bool resetRetry) {
  // All bookkeeping happens before the write: a port that answers at once
  // must find the new pending command, an empty buffer and a loaded time-out.
  replyTicks_ = timeoutTenths_;
  receiveBuffer_.Clear();
  replyReceived_ = false;
  lastLineSent_ = lastLine;
  pendingCode_ = head.size() >= 2 ? std::string(head.substr(0, 2)) : std::string();
  if (resetRetry) {
    retryCount_ = 0;
  }
}

void uclTzif::DataSend(std::string_view line, bool resetRetry) {
  const std::string copy(line);  // `line` may be the last line sent itself
  const FrameView sent(copy);
  RememberSent(copy, sent.Text(), resetRetry);
  AddLog(FormatMessage(msg::kSentLineLog, {ToReadable(copy)}));
  WriteOrFail(copy);
}

bool uclTzif::DataSendArry(std::string_view bytes, bool resetRetry) {
  const std::string copy(bytes);
  const std::string head(ByteArrayHead(copy));
  if (head.empty()) {
    return false;
  }
  RememberSent(head, head, resetRetry);
  AddLog("> : " + BytesAsHexTags(copy));
  WriteOrFail(copy);
  return true;
}

void uclTzif::WriteOrFail(std::string_view bytes) {
  if (!transport_.Write(bytes)) {
    // Nothing went out: the exchange waiting for it fails now (the send
    // fault), rather than after its time-outs and resends.
    OnSerialFault(SerialFault::SendBufferFull);
    return;
  }
  Events().StsTransmit();
}

void uclTzif::AddLog(std::string_view text) { log_.Write(text); }

void uclTzif::ConnectReplyReceived() {
  if (state_ == LinkState::Connected) {
    return;
  }
  state_ = LinkState::Connected;
  AddLog(FormatMessage(msg::kConnectSequenceFinishedLog));
  Events().OnConnect();
}

void uclTzif::ReadingsReceived(const std::array<Single, kSensorChannels>& values) {
  Events().Densty(values);
}

}  // namespace kv
