#include "sim/sim_transport.h"

#include <vector>

#include "link/serial_settings.h"

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

bool SimTransport::Write(std::string_view bytes) {
  if (!open_) return false;
  std::vector<OutgoingReply> replies = instrument_.Receive(bytes);
  for (OutgoingReply& reply : replies) {
    if (replyAtOnce_) {
      Deliver(reply);
    } else {
      held_.push_back(std::move(reply));
    }
  }
  return true;
}

void SimTransport::Pump() {
  while (!held_.empty() && open_) {
    const OutgoingReply reply = std::move(held_.front());
    held_.pop_front();
    Deliver(reply);
  }
}

void SimTransport::Deliver(const OutgoingReply& reply) {
  if (!open_) return;
  if (!reply.bytes.empty() && events_ != nullptr) events_->OnBytesReceived(reply.bytes);
  if (reply.hangUpAfter) {
    Close();
    if (events_ != nullptr) events_->OnModemLinesChanged(false, false);
  }
}

}  // namespace kv::sim
