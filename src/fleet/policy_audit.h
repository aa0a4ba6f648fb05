#pragma once
// Whether an instrument holds the company's settings: its latest read
// against a policy file, setting by setting, leaving out what belongs to
// each unit (serial numbers, calibration values: the station mode's table).
#include <string>
#include <vector>

#include "model/instrument.h"

namespace kv::fleet {

struct PolicyDifference {
  std::string caption;          // as the window names it ("CO warning level")
  std::string policyValue;      // as the grids show it
  std::string instrumentValue;
};

// Every setting a maintenance data file carries in which `instrument`
// differs from `policy`, in record order. Both records are as read from
// files, so what a file cannot keep never differs.
std::vector<PolicyDifference> DifferencesFromPolicy(const clsInstrument& policy, const clsInstrument& instrument);

}  // namespace kv::fleet
