#include "rules/setting_names.h"

#include "common/datetime.h"
#include "rules/edit_check.h"
#include "rules/setting_display.h"
#include "rules/settings_view_parts.h"

namespace kv::rules {
namespace {

bool Blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

const clsInstrument& Namer(const SettingInfo& setting, int index, const clsInstrument& before,
                           const clsInstrument& after) {
  const bool unnamedChannel = setting.kind == IndexKind::Channel && index >= 0 &&
                              index < kSensorChannels && Blank(before.GasName(index));
  return unnamedChannel ? after : before;
}

}  // namespace

std::string SettingName(std::string_view setting, int index, const clsInstrument& record) {
  const SettingInfo* info = view::FindSetting(setting);
  if (info == nullptr) return std::string(setting);
  return SettingCaption(*info, record, index);
}

SettingChange DescribeChange(const SettingInfo& setting, int index, const clsInstrument& before,
                             const clsInstrument& after) {
  return {SettingCaption(setting, Namer(setting, index, before, after), index),
          DisplayValue(setting, before, index), DisplayValue(setting, after, index)};
}

std::string GridGasName(const clsInstrument& record, int channel) {
  const Text name = view::IsFixedSensor(channel) ? view::SlotName(record, channel) : record.GasName(channel);
  return std::string(Trim(name));
}

std::string CalibrationDateText(Date serial) {
  // The instrument dates calibrations with a two-digit year.
  constexpr int kFirstCalibrationYear = 2000;
  const DateTime date = FromSerialDate(serial);
  return date.year < kFirstCalibrationYear ? "never" : FormatGeneralDate(date);
}

SettingChange DescribeChange(std::string_view setting, int index, const clsInstrument& before,
                             const clsInstrument& after) {
  const SettingInfo* info = view::FindSetting(setting);
  if (info == nullptr) return {std::string(setting), {}, {}};
  return DescribeChange(*info, index, before, after);
}

}  // namespace kv::rules
