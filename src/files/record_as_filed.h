#pragma once
// A record as a maintenance data file would give it back. The file cannot
// keep every value the instrument reports (the oxygen channel's zero suppress
// is filed as unused, "no sensor" reads back as 0), so a file read from an
// instrument and sent back unchanged still differs from what the instrument
// holds; comparing the file with this instead shows only real edits.
#include "model/instrument.h"

namespace kv {

// `record` written as a maintenance file in memory and read back over a copy
// of itself: settings the file does not carry keep their values. Change
// flags are all cleared.
clsInstrument AsFiled(const clsInstrument& record);

}  // namespace kv
