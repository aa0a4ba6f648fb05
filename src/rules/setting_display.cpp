#include "rules/setting_display.h"

#include <array>
#include <string_view>

#include "protocol/format_gas_value.h"
#include "rules/settings_view.h"

namespace kv {
namespace {

int ChannelPlaces(const clsInstrument& r, int channel) { return r.GasPoint(channel); }
int WholeNumbers(const clsInstrument&, int) { return 0; }
int PidPlaces(const clsInstrument& r, int flatIndex) {
  return r.PIDPoint(flatIndex / kPidRanges, flatIndex % kPidRanges);
}
Text ChannelUnit(const clsInstrument& r, int channel) { return r.GasUnit(channel); }
Text NoUnit(const clsInstrument&, int) { return {}; }
Text PidUnit(const clsInstrument& r, int flatIndex) {
  return r.PIDUnit(flatIndex / kPidRanges, flatIndex % kPidRanges);
}

// The levels, where their decimal places come from, and their unit.
struct LevelSetting {
  std::string_view name;
  int (*places)(const clsInstrument&, int index);
  Text (*unit)(const clsInstrument&, int index);
};
constexpr std::array<LevelSetting, 14> kLevels{{
    {"GasFullScale", ChannelPlaces, ChannelUnit},
    {"Warning", ChannelPlaces, ChannelUnit},
    {"Alarm", ChannelPlaces, ChannelUnit},
    {"Stel", ChannelPlaces, ChannelUnit},
    {"Twa", ChannelPlaces, ChannelUnit},
    {"AutoCalib", ChannelPlaces, ChannelUnit},
    {"LA_warn", WholeNumbers, NoUnit},
    {"LA_alarm", WholeNumbers, NoUnit},
    {"PIDFullScale", PidPlaces, PidUnit},
    {"PIDWarn", PidPlaces, PidUnit},
    {"PIDAlarm", PidPlaces, PidUnit},
    {"PIDStel", PidPlaces, PidUnit},
    {"PIDTwa", PidPlaces, PidUnit},
    {"PIDAutoCal", PidPlaces, PidUnit},
}};

// A level reads as a number followed by its unit; the special codes
// ("-----", "Fail(Air)", ...) stand alone.
std::string WithUnit(std::string text, const Text& unit) {
  return ShownText(ViewCell{{}, {}, {}, std::move(text), unit});
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
      if (level.name == setting.name) {
        return WithUnit(FormatGasValue(value, level.places(record, index)),
                        level.unit(record, index));
      }
    }
    return PlainNumber(value, 7);
  }
  std::string operator()(Date value) const { return PlainNumber(value, 15); }
  std::string operator()(const Text& value) const {
    return value.find_first_not_of(' ') == Text::npos ? "(empty)" : value;
  }
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
