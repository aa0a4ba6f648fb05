#include "sim/sim_instrument.h"

#include <utility>

#include "protocol/frame_view.h"
#include "protocol/framing.h"

namespace kv::sim {

SimInstrument::SimInstrument(const Clock& clock, clsInstrument settings, SimDeviceOptions options,
                             FaultPlan faults)
    : device_(clock, std::move(settings), options), faults_(std::move(faults)) {}

std::vector<OutgoingReply> SimInstrument::Receive(std::string_view bytes) {
  if (poweredOff_) return {};
  buffer_ += bytes;
  std::vector<OutgoingReply> replies = TakeFrames();
  if (buffer_.size() > kMaxPendingBytes) buffer_.erase(0, buffer_.size() - kMaxPendingBytes);
  return replies;
}

std::vector<OutgoingReply> SimInstrument::TakeFrames() {
  std::vector<OutgoingReply> replies;
  while (!poweredOff_) {
    const std::size_t end = buffer_.find_first_of(std::string{kEOT, kETB});
    if (end == std::string::npos) break;
    const std::string received = buffer_.substr(0, end + 1);
    buffer_.erase(0, end + 1);
    // Line noise before the start of the frame is skipped; noise alone is no request.
    const FrameView frame(received);
    if (!frame.HasStart()) continue;
    // ETB lines are the program's block acknowledgements; no reply to them.
    if (frame.Terminator() == kETB) continue;
    if (!frame.WellFormed()) {
      ++rejected_;
      continue;
    }
    const int powerOffsBefore = device_.PowerOffRequests();
    std::string answer = device_.Answer(frame.Text());
    // The acknowledgement still goes out; what follows it is not heard.
    if (switchesOff_ && device_.PowerOffRequests() != powerOffsBefore) {
      poweredOff_ = true;
      buffer_.clear();
    }
    if (answer.empty()) continue;
    OutgoingReply reply;
    reply.number = ++replies_;
    reply.requestBytes = frame.Frame().size();
    reply.requestText = frame.Text();
    reply.bytes = BuildCommandLine(answer, kEOT, "00");
    reply.replyText = std::move(answer);
    if (faults_.Has(FaultKind::Corrupt, reply.number)) reply.bytes = WithBadChecksum(reply.bytes);
    if (faults_.Has(FaultKind::Garbage, reply.number)) reply.bytes = GarbageFrame();
    if (faults_.Has(FaultKind::Drop, reply.number)) reply.bytes.clear();
    if (!reply.bytes.empty()) reply.bytes.insert(0, faults_.NoiseBeforeReply());
    reply.delayMs = faults_.DelayMs(reply.number);
    reply.hangUpAfter = faults_.Has(FaultKind::HangUp, reply.number);
    replies.push_back(std::move(reply));
  }
  return replies;
}

}  // namespace kv::sim
