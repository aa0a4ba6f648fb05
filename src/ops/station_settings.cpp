#include "ops/station_settings.h"

#include <algorithm>
#include <array>

#include "files/kvd_reader.h"
#include "files/record_as_filed.h"
#include "link/pending_changes.h"
#include "model/instrument_settings.h"

namespace kv {
namespace {

constexpr std::array kPerInstrument = {
    PerInstrumentSetting{"SerialNo", "Serial number", "names the unit"},
    PerInstrumentSetting{"DummySerial", "Manufacture number", "names the unit"},
    PerInstrumentSetting{"GasType", "Sensors fitted", "must match the file, never written"},
    PerInstrumentSetting{"FL_", "Catalytic sensor constants", "calibrated per unit"},
    PerInstrumentSetting{"Ratio", "Catalytic ratio", "follows the sensor constants"},
    PerInstrumentSetting{"HH_", "EV (normal, methane elimination)", "calibrated per unit"},
    PerInstrumentSetting{"HE_", "D/A", "calibrated per unit"},
    PerInstrumentSetting{"RP_", "CAT D/A", "calibrated per unit"},
    PerInstrumentSetting{"SI_", "ME zero L, M, H and ME span", "calibrated per unit"},
};

std::string SensorText(Integer type) {
  switch (type) {
    case 0: return "catalytic";
    case 4: return "infrared";
    case 5: return "PID";
    case 16: return "none";
    default: return "type " + std::to_string(type);
  }
}

}  // namespace

std::span<const PerInstrumentSetting> PerInstrumentSettings() { return kPerInstrument; }

bool IsPerInstrument(std::string_view setting) {
  return std::any_of(kPerInstrument.begin(), kPerInstrument.end(),
                     [setting](const PerInstrumentSetting& s) { return s.setting == setting; });
}

std::string LayoutMismatch(const clsInstrument& distributed, const clsInstrument& instrument) {
  std::string mismatch;
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    const Integer wanted = distributed.GasType(channel);
    const Integer fitted = instrument.GasType(channel);
    if (wanted == fitted) continue;
    mismatch += mismatch.empty() ? "channel layout differs: " : ", ";
    mismatch += "channel " + std::to_string(channel + 1) + " file " + SensorText(wanted) +
                ", instrument " + SensorText(fitted);
  }
  return mismatch;
}

RollOut PlanRollOut(std::string_view fileContent, const clsInstrument& held) {
  // Against the instrument as a file would hold it: what a file cannot keep
  // is no change.
  const clsInstrument filedHeld = AsFiled(held);
  RollOut plan;
  CopyInstrument(plan.wanted, held, false);
  plan.wanted.ClearChangeFlags();
  (void)ReadMaintenanceText(plan.wanted, fileContent);
  for (const SettingInfo& setting : AllSettings()) {
    if (!IsPerInstrument(setting.name)) continue;
    for (int i = 0; i < setting.count; ++i) {
      [[maybe_unused]] const bool kept = setting.set(plan.wanted, i, setting.get(filedHeld, i));
    }
  }
  plan.differences = FlagDifferences(plan.wanted, filedHeld);
  return plan;
}

int WrittenDifferences(const std::vector<SettingDifference>& differences, const clsInstrument& uploaded) {
  const auto settings = AllSettings();
  int written = 0;
  for (const SettingDifference& difference : differences) {
    const auto setting = std::find_if(settings.begin(), settings.end(),
                                      [&difference](const SettingInfo& s) { return s.name == difference.name; });
    if (setting != settings.end() && !setting->changed(uploaded, difference.index)) ++written;
  }
  return written;
}

}  // namespace kv
