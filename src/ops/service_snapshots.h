#pragma once
// Two records compared, one rule for every front end (kvmaint diff, kvmaint
// history diff, the history window): every setting of the record whose
// values differ, in record order. Each difference also says whether a
// Transmit writes the setting, so a front end can tell what loading the
// second record into the grids and transmitting it would change.
#include <vector>

#include "model/instrument.h"
#include "model/instrument_settings.h"

namespace kv::ops {

struct RecordDifference {
  const SettingInfo* setting;
  int index;
  bool transmitted;  // the setting has a change flag: a Transmit writes it
};

std::vector<RecordDifference> CompareRecords(const clsInstrument& a, const clsInstrument& b);

}  // namespace kv::ops
