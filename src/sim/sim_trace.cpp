#include "sim/sim_trace.h"

#include "protocol/framing.h"

namespace kv::sim {

void TraceReply(std::ostream* trace, const OutgoingReply& reply) {
  if (trace == nullptr) return;
  std::ostream& out = *trace;
  out << "> " << ToReadable(reply.requestText) << '\n';
  out << "< #" << reply.number << ' ' << ToReadable(reply.replyText);
  if (reply.bytes.empty()) {
    out << "  [dropped]";
  } else if (reply.bytes != BuildCommandLine(reply.replyText, kEOT, "00")) {
    out << "  [sent as " << ToReadable(reply.bytes) << ']';
  }
  if (reply.delayMs > 0) out << "  [delayed " << reply.delayMs << " ms]";
  out << std::endl;
}

void TraceIgnoredRequest(std::ostream* trace) {
  if (trace != nullptr) *trace << "-- request with a bad checksum or layout ignored" << std::endl;
}

void TraceHangUp(std::ostream* trace) {
  if (trace != nullptr) *trace << "-- line closed (hang-up)" << std::endl;
}

}  // namespace kv::sim
