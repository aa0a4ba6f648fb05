#pragma once
// The one name and value a setting goes by wherever a change is shown: the
// review before Transmit, the verification after it, kvmaint show/diff,
// history comparisons, the report and station mode. Names come from the
// record's rows ("CO warning level", "User 7", "PID 4 High Range 1st"),
// levels carry their channel's unit as the record holds it ("25 ppm").
#include <string>
#include <string_view>

#include "model/instrument.h"
#include "model/instrument_settings.h"

namespace kv::rules {

// The setting by accessor name ("Warning", 3), its channel named after the gas
// `record` holds there; the accessor name for a setting the record has not.
std::string SettingName(std::string_view setting, int index, const clsInstrument& record);

struct SettingChange {
  std::string name;
  std::string before;
  std::string after;

  // "CO warning level: 25 ppm -> 35 ppm"
  std::string Line() const { return name + ": " + before + " -> " + after; }
};

// One setting going from `before` to `after`, each value with its own record's
// unit. The channel is named after the gas `before` holds there, or the one
// `after` gives it when `before` has none yet.
SettingChange DescribeChange(const SettingInfo& setting, int index, const clsInstrument& before,
                             const clsInstrument& after);
SettingChange DescribeChange(std::string_view setting, int index, const clsInstrument& before,
                             const clsInstrument& after);

// A gas channel 0..6 by the name the grids give it: the fixed sensors as
// "OXY", "H2S", "CO" whatever the instrument calls them, the others by their
// gas name without padding; "" for a channel without one.
std::string GridGasName(const clsInstrument& record, int channel);

// A calibration date as "yyyy/MM/dd HH:mm:ss", or "never" for a channel
// never calibrated (the instrument reports a date before 2000 then).
std::string CalibrationDateText(Date serial);

}  // namespace kv::rules
