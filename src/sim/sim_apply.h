#pragma once
// Applies one write command's text ("AP,W,1,") to the instrument's settings
// with the maintenance data file's rules, which are the instrument's own
// rules for a setting it is given.
#include <string>
#include <string_view>

#include "model/instrument.h"

namespace kv::sim {

// True when the text was applied; otherwise `reason` (if given) says why.
bool ApplyWriteRecord(clsInstrument& settings, std::string_view text, std::string* reason);

}  // namespace kv::sim
