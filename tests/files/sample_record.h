#pragma once
// One record with varied values: a catalytic channel with decimal places,
// the fixed sensors, an infrared and a PID channel, an empty slot, special
// codes, names longer than their fields. tests/files/data/golden_record.txt
// holds its 341 record texts, written out by hand from the layouts.
#include "model/instrument.h"

namespace kv::testing_support {

clsInstrument SampleRecord();

}  // namespace kv::testing_support
