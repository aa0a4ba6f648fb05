#pragma once
// The simulator's memories written out, for comparing with what a dump read.
#include <string>

#include "model/instrument.h"
#include "sim/sim_options.h"

namespace kv::sim {

// Writes the images asked for by --flash-out and --fram-out; false with the
// reason in `error` when one cannot be written.
bool WriteMemoryImages(const SimOptions& options, const clsInstrument& settings,
                       std::string* error);

}  // namespace kv::sim
