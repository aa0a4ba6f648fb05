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
    const std::size_t end = RequestFrameEnd(buffer_);
    if (end == std::string::npos) break;
    const std::string received = buffer_.substr(0, end + 1);
    buffer_.erase(0, end + 1);
    if (const auto transfer = ReadMemoryTransfer(received)) {
      if (AnswerDump(received, transfer->text, transfer->block, replies)) continue;
    }
    // Line noise before the start of the frame is skipped; noise alone is no request.
    const FrameView frame(received);
    if (!frame.HasStart()) continue;
    // ETB lines are the program's block acknowledgements; only a listing
    // answers them, with its next block.
    if (frame.Terminator() == kETB) {
      if (std::optional<std::string> next = dumps_.Acknowledged(frame.Text())) {
        OutgoingReply reply;
        reply.number = ++replies_;
        reply.requestBytes = frame.Frame().size();
        reply.requestText = frame.Text();
        reply.replyText = "<listing block>";
        reply.bytes = std::move(*next);
        replies.push_back(std::move(reply));
      }
      continue;
    }
    if (frame.ChecksumMatches() &&
        AnswerDump(frame.Frame(), frame.Text(), frame.Block(), replies)) {
      continue;
    }
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
    ApplyFaults(reply, false);
    replies.push_back(std::move(reply));
  }
  return replies;
}

bool SimInstrument::AnswerDump(std::string_view request, std::string_view text,
                               std::string_view block, std::vector<OutgoingReply>& replies) {
  std::optional<std::vector<DumpPiece>> pieces = dumps_.Answer(device_.Settings(), text, block);
  if (!pieces) return false;
  bool first = true;
  for (DumpPiece& piece : *pieces) {
    OutgoingReply reply;
    reply.number = ++replies_;
    reply.requestBytes = first ? request.size() : 0;
    reply.requestText = first ? std::string(text) : std::string("(stream)");
    reply.replyText = "<" + std::to_string(piece.bytes.size()) + " dump bytes>";
    reply.bytes = std::move(piece.bytes);
    ApplyFaults(reply, true);
    reply.delayMs += piece.pauseBeforeMs;
    reply.hangUpAfter = reply.hangUpAfter || piece.hangUpAfter;
    replies.push_back(std::move(reply));
    first = false;
  }
  return true;
}

void SimInstrument::ApplyFaults(OutgoingReply& reply, bool dumpPiece) const {
  if (faults_.Has(FaultKind::Corrupt, reply.number)) {
    // A raw dump piece has no checksum: one byte in its middle is flipped.
    if (dumpPiece && !reply.bytes.empty()) {
      reply.bytes[reply.bytes.size() / 2] = static_cast<char>(~reply.bytes[reply.bytes.size() / 2]);
    } else {
      reply.bytes = WithBadChecksum(reply.bytes);
    }
  }
  if (faults_.Has(FaultKind::Garbage, reply.number)) reply.bytes = GarbageFrame();
  if (faults_.Has(FaultKind::Drop, reply.number)) reply.bytes.clear();
  if (!dumpPiece && !reply.bytes.empty()) reply.bytes.insert(0, faults_.NoiseBeforeReply());
  reply.delayMs = faults_.DelayMs(reply.number);
  reply.hangUpAfter = faults_.Has(FaultKind::HangUp, reply.number);
}

}  // namespace kv::sim
