#pragma once
// Which settings of a record differ from what the instrument holds, so that
// an upload can write only those groups instead of everything.
#include <string>
#include <vector>

#include "model/instrument.h"

namespace kv {

// One differing setting: its name in the settings table and its index
// (channel, table entry or PID entry * 2 + range; 0 for a single setting).
struct SettingDifference {
  std::string name;
  int index = 0;
  bool indexed = false;  // false for a single setting
};

// Leaves `wanted` holding its own values with exactly the change flags of the
// settings in which it differs from `held` raised (all others cleared), and
// returns those settings in record order. Settings without a change flag are
// never written and are not compared.
std::vector<SettingDifference> FlagDifferences(clsInstrument& wanted, const clsInstrument& held);

}  // namespace kv

namespace kv {

// How many settings (index by index) have their change flag raised.
int CountFlaggedSettings(const clsInstrument& record);

}  // namespace kv
