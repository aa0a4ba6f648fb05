#pragma once
// The trace of the simulated line (kvsim --verbose or --trace): one line per
// request and reply, and a note for what the line itself does. Each does
// nothing when `trace` is null.
#include <ostream>

#include "sim/sim_instrument.h"

namespace kv::sim {

// "> request" and "< #n reply", with what a fault made of the reply.
void TraceReply(std::ostream* trace, const OutgoingReply& reply);
void TraceIgnoredRequest(std::ostream* trace);
void TraceHangUp(std::ostream* trace);

}  // namespace kv::sim
