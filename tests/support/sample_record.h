#pragma once
// Records with known values for the tests.
#include <vector>

#include "model/instrument.h"

namespace kv::testsupport {

// The settings of one sensor channel.
struct ChannelSetup {
  Integer type;
  Text name;
  Integer point;
  Single fullScale, desit;
  Text unit;
  Single warn, alarm, stel, twa, autoCalib;
  Integer zero, zeroForce, outputMask;
};

// Stores one setup per sensor channel; false when a setter refused a value
// or the table does not hold one setup for each channel.
bool FillChannels(clsInstrument& record, const std::vector<ChannelSetup>& channels);

// One record with varied values: a catalytic channel with decimal places,
// the fixed sensors, an infrared and a PID channel, an empty slot, special
// codes, names longer than their fields. tests/files/data/golden_record.txt
// holds its 341 record texts, written out by hand from the layouts.
clsInstrument SampleRecord();

// A record with a distinct value in every setting the window's grids show,
// including the edge cases of the value formatting; its change flags are
// cleared. A setter that refused its index leaves a note in the key.
clsInstrument GridRecord();

}  // namespace kv::testsupport
