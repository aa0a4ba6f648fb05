// The session tick: connect sequence, reply time-outs and resends, the
// current-reading poll; modem lines and line faults.
#include <optional>

#include "common/messages.h"
#include "link/link.h"

namespace kv {

namespace {

struct FaultRow {
  SerialFault fault;
  int message;
  std::optional<LinkStatus> statusAfter;  // nothing: Status stays
  bool ignoredWhileConnecting;
};

constexpr FaultRow kFaultTable[] = {
    {SerialFault::Break, msg::kBreakSignalLog, std::nullopt, false},
    {SerialFault::Framing, msg::kFramingErrorLog, LinkStatus::Failed, false},
    {SerialFault::Overrun, msg::kPortOverrunLog, LinkStatus::Failed, false},
    {SerialFault::ReceiveOverflow, msg::kReceiveOverflowLog, LinkStatus::Failed, false},
    {SerialFault::Parity, msg::kParityErrorLog, LinkStatus::Failed, false},
    {SerialFault::SendBufferFull, msg::kSendOverflowLog, LinkStatus::Complete, true},
    {SerialFault::DeviceControl, msg::kDeviceControlMemoryErrorLog, LinkStatus::Complete, false},
};

// A fault or a lost line never passes for an accepted reply: a transaction
// waiting for one ends as failed.
LinkStatus StatusAfterLineTrouble(LinkStatus current, LinkStatus statusAfter) {
  if (statusAfter == LinkStatus::Complete && IsWaitingStatus(current)) {
    return LinkStatus::Failed;
  }
  return statusAfter;
}

}  // namespace

bool uclTzif::InConnectSequence() const {
  return state_ == LinkState::Connecting || state_ == LinkState::Reopen;
}

void uclTzif::LogWithDate(int messageId) {
  AddLog(FormatMessage(messageId, {FormatGeneralDate(clock_.Now())}));
}

void uclTzif::Tick() {
  if (!timerEnabled_) {
    return;
  }
  DriveScope scope(*this);
  ++tickCounter_;
  if (CancelActs() && IsWaitingStatus(status_)) {
    // Abandoned at once, whether or not anything arrives.
    status_ = LinkStatus::Cancelled;
    receiveBuffer_.Clear();
  }
  switch (state_) {
    case LinkState::Connecting:
      ConnectStep();
      break;
    case LinkState::Reopen:
      ReopenStep();
      break;
    case LinkState::Connected:
      ReplyTimeoutStep();
      break;
    case LinkState::Offline:
      // Offline there is nothing to guard, except a transaction that still
      // waits (the line went away under it): it must not wait for ever.
      if (status_ == LinkStatus::BlockTransfer || status_ == LinkStatus::ReadWaiting ||
          status_ == LinkStatus::WriteWaiting || status_ == LinkStatus::BinaryTransfer) {
        ReplyTimeoutStep();
      }
      break;
  }
  ConnectDelayStep();
  DenstyStep();
  if (waiter_ && waitKind_ == WaitKind::Ticks) {
    --waitTicksLeft_;
  }
}

void uclTzif::ConnectStep() {
  if (tickCounter_ <= kProbeWaitTicks) {
    return;
  }
  if (status_ != LinkStatus::ReadWaiting) {
    AddLog(FormatMessage(msg::kConnectSequenceStartedLog));
    if (retryCount_ >= retry_) {
      status_ = LinkStatus::Idle;
      state_ = LinkState::Offline;
      faultCount_ = 0;
      tickCounter_ = 0;
      Events().AlarmMessage(FormatMessage(msg::kNoResponse));
      return;
    }
    ++retryCount_;
    if (retryCount_ > 1 && retryCount_ % 5 == 0) {
      Events().ConnectRetry(retryCount_ / 5);
    }
    status_ = LinkStatus::ReadWaiting;
    DataSend(BuildCommandLine(kProbeCommand), false);
  } else {
    // The probe went unanswered: close the port and reopen it on the next tick.
    status_ = LinkStatus::Idle;
    if (transport_.IsOpen()) {
      transport_.Close();
    }
    state_ = LinkState::Reopen;
    faultCount_ = 0;
  }
  tickCounter_ = 0;
}

void uclTzif::ReopenStep() {
  if (!transport_.IsOpen()) {
    transport_.Open();  // a failure shows as a probe without answer
  }
  status_ = LinkStatus::Idle;
  state_ = LinkState::Connecting;
  tickCounter_ = 0;
}

void uclTzif::ReplyTimeoutStep() {
  if (replyTicks_ > 0) {
    --replyTicks_;
    return;
  }
  if (retryCount_ >= retry_) {
    switch (status_) {
      case LinkStatus::Cancelled:
        status_ = LinkStatus::Ready;
        break;
      case LinkStatus::Ready:
      case LinkStatus::Complete:
        break;
      default:
        status_ = LinkStatus::Failed;
        replyReceived_ = false;
        break;
    }
    return;
  }
  ++retryCount_;
  if (status_ == LinkStatus::BlockTransfer) {
    if (!lastLineSent_.empty() && lastLineSent_.back() == kEOT) {
      DataSend(lastLineSent_, false);
    } else {
      DataSend(BuildAckLine(lastLineSent_, kNAK, false), false);
    }
  } else if (status_ == LinkStatus::ReadWaiting || status_ == LinkStatus::WriteWaiting) {
    DataSend(lastLineSent_, false);
  }
}

void uclTzif::DenstyStep() {
  if (!runDensty_ || --denstyCountdown_ > 0) {
    return;
  }
  denstyCountdown_ = kDenstyPollTicks;
  if (status_ == LinkStatus::ReadWaiting) {
    LogWithDate(msg::kCurrentReadingTimeoutLog);
    status_ = LinkStatus::Ready;
  } else if (status_ == LinkStatus::Ready || status_ == LinkStatus::Complete) {
    status_ = LinkStatus::ReadWaiting;
    DataSend(BuildCommandLine(kDenstyCommand), true);
  }
}

void uclTzif::ConnectDelayStep() {
  if (connectDelayTicks_ > 0 && --connectDelayTicks_ == 0) {
    StartConnectSequence(false);
  }
}

void uclTzif::StartConnectSequence(bool probeAtOnce) {
  connectDelayTicks_ = 0;
  retryCount_ = 0;
  receiveBuffer_.Clear();
  tickCounter_ = 0;
  status_ = LinkStatus::Idle;
  faultCount_ = 0;
  state_ = LinkState::Connecting;
  if (probeAtOnce) {
    // A device without modem lines needs no settling time: the first probe
    // goes out now, not on the next tick (up to 100 ms later).
    tickCounter_ = kProbeWaitTicks + 1;
    ConnectStep();
  }
}

void uclTzif::OnPortOpened() {
  DriveScope scope(*this);
  const std::optional<ModemLines> lines = transport_.ReadModemLines();
  if (!lines) {
    LogWithDate(msg::kLinkConnectedLog);
    StartConnectSequence(true);
  } else if (lines->AnyUp()) {
    LinesUp();
  }
  // Both lines down: the sequence waits for them to come up.
}

void uclTzif::OnModemLinesChanged(bool cts, bool dsr) {
  DriveScope scope(*this);
  if (cts || dsr) {
    LinesUp();
  } else {
    LinesDropped();
  }
}

void uclTzif::LinesUp() {
  LogWithDate(msg::kLinkConnectedLog);
  connectDelayTicks_ = kConnectDelayTicks;
}

void uclTzif::LinesDropped() {
  state_ = LinkState::Offline;
  connectDelayTicks_ = 0;
  status_ = StatusAfterLineTrouble(status_, LinkStatus::Complete);
  Events().LinkLost();
}

void uclTzif::OnSerialFault(SerialFault fault) {
  DriveScope scope(*this);
  for (const FaultRow& row : kFaultTable) {
    if (row.fault != fault) {
      continue;
    }
    if (row.ignoredWhileConnecting && state_ == LinkState::Connecting) {
      return;
    }
    ++faultCount_;
    LogWithDate(row.message);
    if (row.statusAfter) {
      status_ = StatusAfterLineTrouble(status_, *row.statusAfter);
    }
    return;
  }
}

}  // namespace kv
