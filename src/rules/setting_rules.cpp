#include "rules/setting_rules.h"

#include <array>

#include "protocol/format_gas_value.h"
#include "rules/alarm_level_rules.h"
#include "rules/gas_name_rules.h"
#include "rules/other_setting_rules.h"
#include "rules/pid_rules.h"
#include "rules/pid_scales.h"
#include "rules/slot_grid_rules.h"
#include "rules/table_rules.h"

namespace kv::rules {
namespace {

constexpr int kUserLevelsFirst = 30;  // LA_ entry of user conversion entry 0

// The grid cell (row, column) among rows 1..rows and columns 1..columns whose setting is wanted.
template <class SettingOf>
bool FindCell(int rows, int columns, const SettingRef& wanted, SettingOf settingOf, int& row,
              int& column) {
  for (row = 1; row <= rows; ++row) {
    for (column = 1; column <= columns; ++column) {
      if (settingOf(row, column) == wanted) return true;
    }
  }
  return false;
}

std::string PointText(int point) {
  return point >= 0 && point <= 3 ? std::string(kPidResolutions[point]) : std::string("?");
}

PidRowTexts PidRowOf(const clsInstrument& r, int entry, int range) {
  const int point = r.PIDPoint(entry, range);
  const auto level = [point](float value) { return FormatGasValue(value, point); };
  return {std::to_string(entry + 1),
          r.PIDName(entry),
          r.PIDLongName(entry),
          level(r.PIDFullScale(entry, range)),
          PointText(point),
          r.PIDUnit(entry, range),
          NumberText(r.PIDDigit(entry, range), point >= 0 && point <= 3 ? point : 0),
          level(r.PIDWarn(entry, range)),
          level(r.PIDAlarm(entry, range)),
          level(r.PIDStel(entry, range)),
          level(r.PIDTwa(entry, range)),
          level(r.PIDAutoCal(entry, range)),
          NumberText(r.PIDFactor(entry, range), 2)};
}

ConversionRowTexts ConversionRowOf(const clsInstrument& r, int row) {
  const int entry = row - 1;
  const int levels = entry + kUserLevelsFirst;
  return {std::to_string(row),
          r.LO_name(entry),
          r.LO_longname(entry),
          NumberText(r.LO_fc(entry), 2),
          FormatGasValue(r.LA_warn(levels), 0),
          FormatGasValue(r.LA_alarm(levels), 0),
          NumberText(r.LA_ratio(levels), 0),
          r.LA_volt(levels) == 1.0f ? "ME" : "Normal"};
}

GasNames GasNamesOf(const clsInstrument& r) {
  return {r.GasName(0), "OXY", "H2S", "CO ", r.GasName(4), r.GasName(5), r.GasName(6)};
}

std::optional<EditCheck> CheckAlarmSetting(const clsInstrument& record, const SettingRef& setting,
                                           std::string_view text) {
  static constexpr std::array kLevels = {AlarmLevel::Warning, AlarmLevel::Alarm, AlarmLevel::Stel,
                                         AlarmLevel::Twa, AlarmLevel::Span};
  for (int channel = 0; channel <= 8; ++channel) {
    for (const AlarmLevel level : kLevels) {
      const SettingRef edited = AlarmLevelSetting(channel, level);
      if (!edited.name.empty() && edited == setting)
        return CheckAlarmLevel(record, channel, level, text);
    }
  }
  return std::nullopt;
}

std::optional<EditCheck> CheckTableSetting(const clsInstrument& record, const SettingRef& setting,
                                           std::string_view text) {
  int row = 0, column = 0;
  if (FindCell(7, 2, setting, MethaneSetting, row, column))
    return CheckMethaneCell(row, column, text);
  if (FindCell(7, 6, setting, GasNameSetting, row, column)) {
    return CheckGasNameCell(GasNamesOf(record), row, column, text);
  }
  if (FindCell(kUserConversionRows - 1, kUserConversionColumns - 1, setting, UserConversionSetting,
               row, column)) {
    ConversionRowTexts texts = ConversionRowOf(record, row);
    texts[static_cast<std::size_t>(column)] = text;
    const EditCheck edit = CheckUserConversionEdit(row, column, text);
    return edit.accepted ? CheckUserConversionCell(row, texts, column) : edit;
  }
  return std::nullopt;
}

std::optional<EditCheck> CheckListSetting(const SettingRef& setting, std::string_view text) {
  if (setting.name == "XS_") return CheckListName(NameList::Station, setting.index, text);
  if (setting.name == "XZ_") return CheckListName(NameList::User, setting.index, text);
  if (setting.name != "XV_" || (setting.index != 0 && setting.index != 1)) return std::nullopt;
  const NameList list = setting.index == 0 ? NameList::Station : NameList::User;
  EditCheck number =
      CheckWholeNumber(text, 1, list == NameList::Station ? kStationEntries : kUserEntries);
  if (!number.accepted) return number.Of(setting);
  return SelectListEntry(list, static_cast<int>(*number.number) - 1);
}

std::optional<EditCheck> CheckPidSetting(const clsInstrument& record, const SettingRef& setting,
                                         std::string_view text) {
  // The names belong to the entry in both ranges; the high range's row judges them.
  const int range = setting.range < 0 ? kPidHighRange : setting.range;
  for (int column = kPidName; column < kPidColumns; ++column) {
    if (PidSetting(range, setting.index, column) != setting) continue;
    PidRowTexts row = PidRowOf(record, setting.index, range);
    row[static_cast<std::size_t>(column)] = text;
    return CheckPidCell(range, setting.index, row, column, text);
  }
  return std::nullopt;
}

}  // namespace

EditCheck CheckSettingEdit(const clsInstrument& record, const SettingRef& setting,
                           std::string_view text) {
  if (setting.index < 0) {
    if (const OtherSettingRule* rule = OtherSettingBySetting(setting.name)) {
      return CheckOtherSetting(rule->row, text);
    }
  }
  for (auto check : {CheckAlarmSetting(record, setting, text),
                     CheckTableSetting(record, setting, text), CheckListSetting(setting, text)}) {
    if (check) return *check;
  }
  if (setting.name.starts_with("PID") && clsInstrument::ValidPidEntry(setting.index)) {
    if (std::optional<EditCheck> check = CheckPidSetting(record, setting, text)) return *check;
  }
  return EditCheck::Refuse("no editing rule for this setting").Of(setting);
}

}  // namespace kv::rules
