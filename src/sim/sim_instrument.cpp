#include "sim/sim_instrument.h"

#include <utility>

#include "protocol/framing.h"

namespace kv::sim {
namespace {

// STX, station "00", block, ETX, two checksum digits, terminator.
constexpr std::size_t kFrameOverhead = 9;
constexpr std::size_t kTextStart = 5;
constexpr std::size_t kTailAfterText = 4;  // ETX, checksum, terminator

}  // namespace

SimInstrument::SimInstrument(const Clock& clock, clsInstrument settings, SimDeviceOptions options,
                             FaultPlan faults)
    : device_(clock, std::move(settings), options), faults_(std::move(faults)) {}

std::vector<OutgoingReply> SimInstrument::Receive(std::string_view bytes) {
  buffer_ += bytes;
  std::vector<OutgoingReply> replies = TakeFrames();
  if (buffer_.size() > kMaxPendingBytes) buffer_.erase(0, buffer_.size() - kMaxPendingBytes);
  return replies;
}

std::optional<std::string> SimInstrument::RequestText(std::string_view frame) {
  if (frame.size() < kFrameOverhead || frame.front() != kSTX ||
      frame[frame.size() - kTailAfterText] != kETX || !ChecksumMatches(frame)) {
    return std::nullopt;
  }
  return std::string(frame.substr(kTextStart, frame.size() - kFrameOverhead));
}

std::vector<OutgoingReply> SimInstrument::TakeFrames() {
  std::vector<OutgoingReply> replies;
  for (;;) {
    const std::size_t end = buffer_.find_first_of(std::string{kEOT, kETB});
    if (end == std::string::npos) break;
    const char terminator = buffer_[end];
    std::string frame = buffer_.substr(0, end + 1);
    buffer_.erase(0, end + 1);
    // Line noise before the start of the frame is skipped.
    const std::size_t start = frame.rfind(kSTX);
    if (start == std::string::npos) continue;
    frame.erase(0, start);
    // ETB lines are the program's block acknowledgements; no reply to them.
    if (terminator == kETB) continue;
    const auto request = RequestText(frame);
    if (!request) {
      ++rejected_;
      continue;
    }
    std::string answer = device_.Answer(*request);
    if (answer.empty()) continue;
    OutgoingReply reply;
    reply.number = ++replies_;
    reply.requestBytes = frame.size();
    reply.requestText = *request;
    reply.bytes = BuildCommandLine(answer, kEOT, "00");
    reply.replyText = std::move(answer);
    if (faults_.Has(FaultKind::Corrupt, reply.number)) reply.bytes = WithBadChecksum(reply.bytes);
    if (faults_.Has(FaultKind::Garbage, reply.number)) reply.bytes = GarbageFrame();
    if (faults_.Has(FaultKind::Drop, reply.number)) reply.bytes.clear();
    reply.delayMs = faults_.DelayMs(reply.number);
    reply.hangUpAfter = faults_.Has(FaultKind::HangUp, reply.number);
    replies.push_back(std::move(reply));
  }
  return replies;
}

}  // namespace kv::sim
