#include "sim/sim_transport.h"

#include <algorithm>
#include <vector>

#include "link/serial_settings.h"
#include "sim/sim_trace.h"

namespace kv::sim {

OpenResult SimTransport::Open() {
  open_ = true;
  return OpenResult::Opened();
}

void SimTransport::Close() {
  open_ = false;
  held_.clear();  // what was on its way is lost with the line
}

bool SimTransport::SetSettings(std::string_view settings) {
  if (!ParseSerialSettings(settings)) return false;
  settings_ = settings;
  return true;
}

void SimTransport::SetVirtualLine(const long long* nowMs, long baud) {
  virtualNowMs_ = nowMs;
  baud_ = baud;
}

bool SimTransport::Write(std::string_view bytes) {
  if (!open_) return false;
  const long rejectedBefore = instrument_.RejectedFrames();
  std::vector<OutgoingReply> replies = instrument_.Receive(bytes);
  if (instrument_.RejectedFrames() != rejectedBefore) TraceIgnoredRequest(trace_);
  for (OutgoingReply& reply : replies) {
    if (virtualNowMs_ != nullptr) {
      const std::chrono::microseconds now = std::chrono::milliseconds{*virtualNowMs_};
      lastDue_ = std::max(now, lastDue_) + LineTime(reply.requestBytes + reply.bytes.size(), baud_) +
                 std::chrono::milliseconds{reply.delayMs};
      held_.push_back({lastDue_, std::move(reply)});
    } else if (replyAtOnce_) {
      Deliver(reply);
    } else {
      held_.push_back({std::chrono::microseconds{0}, std::move(reply)});
    }
  }
  return true;
}

std::optional<long long> SimTransport::NextDueMs() const {
  if (held_.empty()) return std::nullopt;
  return std::chrono::ceil<std::chrono::milliseconds>(held_.front().due).count();
}

bool SimTransport::DeliverDue() {
  if (virtualNowMs_ == nullptr) return false;
  // What fell due by now reaches the link in one piece, as kvsim's server
  // writes it to the pseudo-terminal at once; a hang-up ends the piece.
  std::string bytes;
  bool hangUp = false;
  bool due = false;
  while (!held_.empty() && open_ && !hangUp &&
         held_.front().due <= std::chrono::milliseconds{*virtualNowMs_}) {
    const OutgoingReply reply = std::move(held_.front().reply);
    held_.pop_front();
    TraceReply(trace_, reply);
    bytes += reply.bytes;
    hangUp = reply.hangUpAfter;
    due = true;
  }
  if (!bytes.empty() && events_ != nullptr) events_->OnBytesReceived(bytes);
  if (hangUp) HangUp();
  return due;
}

void SimTransport::Pump() {
  while (!held_.empty() && open_) {
    const OutgoingReply reply = std::move(held_.front().reply);
    held_.pop_front();
    Deliver(reply);
  }
}

void SimTransport::Deliver(const OutgoingReply& reply) {
  if (!open_) return;
  TraceReply(trace_, reply);
  if (!reply.bytes.empty() && events_ != nullptr) events_->OnBytesReceived(reply.bytes);
  if (reply.hangUpAfter) HangUp();
}

void SimTransport::HangUp() {
  TraceHangUp(trace_);
  Close();
  if (events_ != nullptr) events_->OnModemLinesChanged(false, false);
}

}  // namespace kv::sim
