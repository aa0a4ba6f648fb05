#pragma once
// The instrument's settings in a maintenance data file: loaded at start-up
// (--state) and written on exit (--state-out).
#include <string>

#include "model/instrument.h"

namespace kv::sim {

// The demonstration instrument with the file's records applied over it (the
// file carries no identity, firmware or analogue values; those stay the
// demonstration instrument's). False, with `error`, when the file cannot be
// read or stops at a bad line.
bool LoadStateFile(const std::string& path, clsInstrument& settings, std::string* error);

bool SaveStateFile(const std::string& path, const clsInstrument& settings, std::string* error);

}  // namespace kv::sim
