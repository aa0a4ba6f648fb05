#include "cli/setting_display.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "protocol/format_gas_value.h"

namespace kv {
namespace {

int ChannelPlaces(const clsInstrument& r, int channel) { return r.GasPoint(channel); }
int WholeNumbers(const clsInstrument&, int) { return 0; }
int PidPlaces(const clsInstrument& r, int flatIndex) {
  return r.PIDPoint(flatIndex / kPidRanges, flatIndex % kPidRanges);
}

// The levels, and where their decimal places come from.
struct LevelSetting {
  std::string_view name;
  int (*places)(const clsInstrument&, int index);
};
constexpr std::array<LevelSetting, 14> kLevels{{
    {"GasFullScale", ChannelPlaces},
    {"Warning", ChannelPlaces},
    {"Alarm", ChannelPlaces},
    {"Stel", ChannelPlaces},
    {"Twa", ChannelPlaces},
    {"AutoCalib", ChannelPlaces},
    {"LA_warn", WholeNumbers},
    {"LA_alarm", WholeNumbers},
    {"PIDFullScale", PidPlaces},
    {"PIDWarn", PidPlaces},
    {"PIDAlarm", PidPlaces},
    {"PIDStel", PidPlaces},
    {"PIDTwa", PidPlaces},
    {"PIDAutoCal", PidPlaces},
}};

std::string PlainNumber(double value, int significantDigits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", significantDigits, value);
  return text;
}

struct Display {
  const SettingInfo& setting;
  const clsInstrument& record;
  int index;

  std::string operator()(bool value) const { return value ? "True" : "False"; }
  std::string operator()(Integer value) const { return std::to_string(value); }
  std::string operator()(Long value) const { return std::to_string(value); }
  std::string operator()(Single value) const {
    for (const LevelSetting& level : kLevels) {
      if (level.name == setting.name) return FormatGasValue(value, level.places(record, index));
    }
    return PlainNumber(value, 7);
  }
  std::string operator()(Date value) const { return PlainNumber(value, 15); }
  std::string operator()(const Text& value) const { return value; }
};

}  // namespace

std::string DisplayValue(const SettingInfo& setting, const clsInstrument& record, int index) {
  return std::visit(Display{setting, record, index}, setting.get(record, index));
}

std::string SettingLabel(const SettingInfo& setting, int index) {
  std::string label(setting.name);
  if (setting.kind == IndexKind::PidRange) {
    return label + "(" + std::to_string(index / kPidRanges) + "," +
           std::to_string(index % kPidRanges) + ")";
  }
  return label + "(" + std::to_string(index) + ")";
}

}  // namespace kv
