#pragma once
// Settings the maintenance data file cannot carry faithfully. The file format
// is what existing files use and stays as it is; the user is told instead.
#include <string>
#include <vector>

#include "model/instrument.h"

namespace kv {

// One user-readable note per setting of `r` that a maintenance data file
// would read back differently: a channel mapping of 11 (written as ";", which
// the reader takes for a comment) and a sensor type of 10 to 15 (written in
// decimal, read in hexadecimal).
std::vector<std::string> MaintenanceFileWarnings(const clsInstrument& r);

}  // namespace kv
