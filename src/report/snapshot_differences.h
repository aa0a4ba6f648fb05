#pragma once
// The settings in which two history snapshots differ, by the names the
// window gives them, with each side's value as the grids show it.
#include <string>
#include <vector>

#include "model/instrument.h"

namespace kv::report {

struct SnapshotDifference {
  std::string name;    // "CO warning level", "Station 3"
  std::string first;   // the value in the first snapshot
  std::string second;  // the value in the second
};

// Every setting in which the snapshots differ (ops::CompareRecords), in
// record order; one a Transmit does not write is named so.
std::vector<SnapshotDifference> SnapshotDifferences(const clsInstrument& first,
                                                    const clsInstrument& second);

}  // namespace kv::report
