// Reception: received bytes are cut into frames, each frame is applied and
// answered (acknowledge, negative acknowledge or resend).
#include <string>

#include "common/messages.h"
#include "link/link.h"
#include "protocol/frame_view.h"

namespace kv {

namespace {

constexpr std::size_t kCodeLength = 2;

constexpr std::string_view kOtherReplyLog = "<<< Reply to another command ignored >>>";

std::string OverflowLog(std::size_t dropped) {
  return "<<< Receive buffer overflow: " + std::to_string(dropped) + " bytes dropped >>>";
}

}  // namespace

void uclTzif::OnBytesReceived(std::string_view bytes) {
  DriveScope scope(*this);
  Events().StsTransmit();
  replyReceived_ = true;
  if (status_ == LinkStatus::BinaryTransfer) {
    ReceiveBinary(bytes);
    return;
  }
  faultCount_ = 0;
  if (!receiveBuffer_.Append(bytes)) {
    // Nothing in there ends a frame: whatever was collected is junk.
    AddLog(OverflowLog(receiveBuffer_.Size() + bytes.size()));
    receiveBuffer_.Clear();
    return;
  }
  if (scanning_) {
    return;  // arrived during a send made by the running scan, which takes it up
  }
  scanning_ = true;
  ScanReceiveBuffer();
  scanning_ = false;
}

bool uclTzif::CancelActs() const { return cancel_ && !InConnectSequence(); }

void uclTzif::ScanReceiveBuffer() {
  // One frame at a time: handling a frame may send a line, and every send
  // empties the buffer, so the buffer is looked at afresh after each frame.
  // A buffer with bytes but no ETB or EOT (a CR included) is a reply still
  // arriving: it waits for the rest, and the reply time-out ends a reply that
  // never completes.
  while (!receiveBuffer_.Empty()) {
    if (CancelActs()) {
      status_ = LinkStatus::Cancelled;
      receiveBuffer_.Clear();
      break;
    }
    const std::optional<std::string> frame = receiveBuffer_.TakeFrame();
    if (!frame) {
      break;
    }
    HandleFrame(*frame);
  }
  Events().StsIdle();
}

bool uclTzif::IsReplyToAnotherCommand(std::string_view received) const {
  // The code as the dispatcher reads it: noise before STX and control
  // characters in the frame do not move it.
  const FrameView frame(received);
  if (pendingCode_.size() != kCodeLength || frame.Code().size() != kCodeLength ||
      !frame.ChecksumMatches()) {
    return false;  // a garbled frame is a failed reply, answered below
  }
  return frame.Code() != pendingCode_;
}

void uclTzif::HandleFrame(const std::string& frame) {
  AddLog(FormatMessage(msg::kReceivedLineLog, {ToReadable(frame)}));
  if (IsReplyToAnotherCommand(frame)) {
    // A late answer to an earlier command (or its resend): taking it would
    // shift every later reply by one.
    AddLog(kOtherReplyLog);
    return;
  }
  ReplySink unclaimed;  // a reply while nothing waits reaches no record
  ReplySink& sink = sink_ != nullptr ? *sink_ : unclaimed;
  const bool accepted = replyHandler_ ? replyHandler_(frame, sink) : ApplyReply(frame, sink, *this);
  const bool lastBlock = FrameView(frame).Terminator() == kEOT;
  if (accepted) {
    if (lastBlock) {
      status_ = LinkStatus::Complete;
    } else {
      DataSend(BuildAckLine(lastLineSent_, kACK), true);
    }
    return;
  }
  if (retryCount_ >= retry_) {
    status_ = LinkStatus::Failed;
    return;
  }
  ++retryCount_;
  if (status_ == LinkStatus::ReadWaiting || status_ == LinkStatus::WriteWaiting) {
    DataSend(lastLineSent_, false);
  } else {
    DataSend(BuildAckLine(lastLineSent_, kNAK), false);
  }
}

void uclTzif::ReceiveBinary(std::string_view bytes) {
  // Every arrival rearms the time-out: a stream that stops part way fails
  // once it has been silent for the stream silence limit (without resends: a
  // stream is never asked for again), one that keeps coming never does.
  if (binaryReceiver_) {
    replyTicks_ = StreamSilenceLimit() * kTicksPerSecond;
    retryCount_ = retry_;
    binaryReceiver_(bytes);
  } else {
    replyTicks_ = timeoutTenths_;
    retryCount_ = 0;
    log_.WriteBytes(bytes);
    if (sink_ != nullptr) sink_->receivedBytes = std::string(bytes);
    status_ = LinkStatus::Complete;
  }
  receiveBuffer_.Clear();
}

}  // namespace kv
