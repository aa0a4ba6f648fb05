#include "rules/setting_rules.h"

#include <array>

#include "protocol/format_gas_value.h"
#include "rules/alarm_level_rules.h"
#include "rules/gas_name_rules.h"
#include "rules/other_setting_rules.h"
#include "rules/pid_rules.h"
#include "rules/pid_scales.h"
#include "rules/setting_apply.h"
#include "rules/settings_view.h"
#include "rules/slot_grid_rules.h"
#include "rules/table_rules.h"

namespace kv::rules {
namespace {

constexpr int kUserLevelsFirst = 30;  // LA_ entry of user conversion entry 0
constexpr int kZeroSuppressColumn = 3;
constexpr int kUnfileableMask = 11;

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

// The range and zero options: two check boxes and the zero suppress.
EditCheck CheckGasOption(int column, std::string_view text, bool noSensor) {
  if (column == kZeroSuppressColumn) {
    // A channel without a sensor holds the code 16 there.
    if (noSensor && Trim(text) == "16") return EditCheck::Accept("16", 16);
    return CheckZeroSuppress(text);
  }
  static const ChoiceItems kOffOn = {"Off", "On"};
  const std::optional<ParsedNumber> number = ParseNumber(text);
  if (number && (number->value == 0 || number->value == 1)) {
    return EditCheck::Accept(kOffOn[static_cast<std::size_t>(number->value)], number->value);
  }
  if (EqualsIgnoringCase(Trim(text), "True")) return EditCheck::Accept("On", 1);
  if (EqualsIgnoringCase(Trim(text), "False")) return EditCheck::Accept("Off", 0);
  return CheckChoice(text, kOffOn);
}

std::optional<EditCheck> CheckTableSetting(const clsInstrument& record, const SettingRef& setting,
                                           std::string_view text) {
  int row = 0, column = 0;
  if (FindCell(7, 2, setting, MethaneSetting, row, column))
    return CheckMethaneCell(row, column, text);
  if (FindCell(7, 6, setting, GasNameSetting, row, column)) {
    // Where the grid offers only a list (the catalytic gas, a PID sensor's
    // name), only an item of the list is a name.
    const ChoiceItems choices = GasNameChoices(row, column, record.GasType(row - 1),
                                               record.CATOther(), PidNamesOf(record));
    if (choices.empty() || Trim(text).empty()) return CheckGasNameCell(GasNamesOf(record), row, column, text);
    const EditCheck chosen = CheckChoice(text, choices);
    if (!chosen.accepted) return EditCheck(chosen).Of(setting);
    // "H2 " as listed; the instrument and the file keep it without the blank.
    return CheckGasNameCell(GasNamesOf(record), row, column, Trim(chosen.text));
  }
  if (FindCell(kGasSlotCount, 3, setting, GasOptionSetting, row, column))
    return CheckGasOption(column, text, record.GasType(row - 1) == kGasTypeNone).Of(setting);
  if (FindCell(kUserConversionRows - 1, kUserConversionColumns - 1, setting, UserConversionSetting,
               row, column)) {
    ConversionRowTexts texts = ConversionRowOf(record, row);
    texts[static_cast<std::size_t>(column)] = text;
    const EditCheck edit = CheckUserConversionEdit(row, column, text);
    return edit.accepted ? CheckUserConversionCell(row, texts, column) : edit;
  }
  return std::nullopt;
}

// A slot's display channels as the mapping grid's check boxes give them: a
// mask of channels 1..6 (bit 0 is channel 1), only for a slot with a gas.
std::optional<EditCheck> CheckMappingSetting(const clsInstrument& record, const SettingRef& setting,
                                             std::string_view text) {
  if (setting.name != "UG_" || setting.index < 0 || setting.index >= kGasSlotCount) return std::nullopt;
  EditCheck mask = CheckWholeNumber(text, 0, (1 << kDisplayChannels) - 1);
  if (!mask.accepted) return mask.Of(setting);
  // A slot's mask travels as the character '0' + mask: 11 would be the ";"
  // that ends a maintenance file's line.
  if (*mask.number == kUnfileableMask) {
    return EditCheck::Refuse("accepts any channels but 1, 2 and 4 together (mask 11 cannot be filed)")
        .Of(setting);
  }
  if (*mask.number != 0) {
    const EditCheck slot = CheckChannelEdit(GasNamesOf(record)[static_cast<std::size_t>(setting.index)],
                                            setting.index + 1, 1);
    if (!slot.accepted) return EditCheck::Refuse(slot.reason).Of(setting);
  }
  return mask.Of(setting);
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

EditCheck Exactly(const EditCheck& check) {
  if (!check.accepted || check.adjusted.empty()) return check;
  return EditCheck::Refuse("accepts only what it keeps: " + check.adjusted).Of(check.setting);
}

EditCheck CheckSettingEdit(const clsInstrument& record, const SettingRef& setting,
                           std::string_view text) {
  if (setting.index < 0) {
    if (const OtherSettingRule* rule = OtherSettingBySetting(setting.name)) {
      return CheckOtherSetting(rule->row, text);
    }
  }
  for (auto check : {CheckAlarmSetting(record, setting, text),
                     CheckTableSetting(record, setting, text), CheckListSetting(setting, text),
                     CheckMappingSetting(record, setting, text)}) {
    if (check) return Exactly(*check);
  }
  if (setting.name.starts_with("PID") && clsInstrument::ValidPidEntry(setting.index)) {
    if (std::optional<EditCheck> check = CheckPidSetting(record, setting, text)) return Exactly(*check);
  }
  return EditCheck::Refuse(std::string(kNoEditingRule)).Of(setting);
}

}  // namespace kv::rules

namespace kv::rules {
namespace {

std::optional<std::string> AlarmLevelText(const clsInstrument& record, const SettingRef& setting) {
  for (int channel = 0; channel <= 8; ++channel) {
    for (const AlarmLevel level : {AlarmLevel::Warning, AlarmLevel::Alarm, AlarmLevel::Stel,
                                   AlarmLevel::Twa, AlarmLevel::Span}) {
      if (AlarmLevelSetting(channel, level) != setting) continue;
      const std::optional<SettingValue> value = ReadSettingValue(record, setting);
      if (!value) return std::nullopt;
      const double number = std::visit(
          [](const auto& held) -> double {
            if constexpr (std::is_arithmetic_v<std::decay_t<decltype(held)>>) {
              return static_cast<double>(held);
            } else {
              return 0;
            }
          },
          *value);
      return FormatGasValue(static_cast<float>(number), record.GasPoint(channel));
    }
  }
  return std::nullopt;
}

std::optional<std::string> TableText(const clsInstrument& record, const SettingRef& setting) {
  if (setting.name.starts_with("PID") && clsInstrument::ValidPidEntry(setting.index)) {
    const int range = setting.range < 0 ? kPidHighRange : setting.range;
    const PidRowTexts row = PidRowOf(record, setting.index, range);
    for (int column = kPidName; column < kPidColumns; ++column) {
      if (PidSetting(range, setting.index, column) == setting) return row[static_cast<std::size_t>(column)];
    }
  }
  int row = 0, column = 0;
  if (FindCell(kUserConversionRows - 1, kUserConversionColumns - 1, setting, UserConversionSetting,
               row, column)) {
    return ConversionRowOf(record, row)[static_cast<std::size_t>(column)];
  }
  return std::nullopt;
}

std::string PlainText(const SettingValue& value) {
  return std::visit(
      [](const auto& held) -> std::string {
        using Type = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Type, Text>) {
          return held;
        } else if constexpr (std::is_same_v<Type, bool>) {
          return held ? "1" : "0";
        } else if constexpr (std::is_floating_point_v<Type>) {
          return PlainNumber(held);
        } else {
          return std::to_string(held);
        }
      },
      value);
}

}  // namespace

std::string SettingText(const clsInstrument& record, const SettingRef& setting) {
  if (std::optional<std::string> text = AlarmLevelText(record, setting)) return *text;
  if (std::optional<std::string> text = TableText(record, setting)) return *text;
  const std::optional<SettingValue> value = ReadSettingValue(record, setting);
  if (!value) return {};
  if (const OtherSettingRule* rule = OtherSettingBySetting(setting.name);
      rule != nullptr && rule->list != OtherChoiceList::None) {
    // A choice shows its item; a text choice (the language) holds the index as digits.
    const std::optional<ParsedNumber> index = ParseNumber(PlainText(*value));
    const ChoiceItems items = OtherChoices(rule->list);
    if (index && index->value >= 0 && index->value < static_cast<double>(items.size())) {
      return items[static_cast<std::size_t>(index->value)];
    }
  }
  return PlainText(*value);
}

}  // namespace kv::rules
