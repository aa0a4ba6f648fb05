// The settings view's "Other Setting" list, station and user lists,
// conversion tables and PID tables.
#include <algorithm>
#include <cctype>

#include "common/messages.h"
#include "rules/other_setting_rules.h"
#include "rules/settings_view_parts.h"
#include "rules/table_rules.h"

namespace kv::view {
namespace {

constexpr int kPreDefinedEntries = 30;
constexpr int kUserDefinedEntries = 5;
// The levels of user-defined entry i are LA_ entry 30 + i.
constexpr int kUserLevelsFirst = 30;

// The list index a choice row selects: switches are 0/1, the language is
// kept as its digit, anything unreadable selects nothing.
std::int64_t ChoiceIndex(const SettingValue& value) {
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? 1 : 0;
  if (const auto* number = std::get_if<Integer>(&value)) return *number;
  if (const auto* text = std::get_if<Text>(&value)) {
    const auto first = text->find_first_not_of(' ');
    const auto last = text->find_last_not_of(' ');
    if (first == Text::npos || first != last) return -1;
    const char digit = (*text)[first];
    return std::isdigit(static_cast<unsigned char>(digit)) != 0 ? digit - '0' : -1;
  }
  return -1;
}

ViewCell OtherSettingCell(const rules::OtherSettingRule& rule, const clsInstrument& record) {
  std::string caption = FormatMessage(rule.captionId);
  const SettingInfo* setting = FindSetting(rule.setting);
  if (setting == nullptr) return UnusedCell(std::move(caption));
  const SettingValue value = setting->get(record, 0);
  if (rule.list == rules::OtherChoiceList::None) {
    const ViewValue typed = ToViewValue(value);
    if (const auto* number = std::get_if<std::int64_t>(&typed)) {
      return NumberCell(std::move(caption), *number);
    }
    return TextCell(std::move(caption), std::get<Text>(value));
  }
  // A choice shows its list item; an index outside the list shows nothing.
  const rules::ChoiceItems items = rules::OtherChoices(rule.list);
  const std::int64_t index = ChoiceIndex(value);
  const bool inList = index >= 0 && index < static_cast<std::int64_t>(items.size());
  return Cell(std::move(caption), index, inList ? items[static_cast<std::size_t>(index)] : "");
}

// One entry per list member from 1: selected when it is the instrument's
// current station or user, and its identifier.
std::vector<ViewEntry> ListEntries(const clsInstrument& record, int entries,
                                   Text (clsInstrument::*identifier)(int) const, int selector) {
  std::vector<ViewEntry> rows;
  for (int i = 0; i < entries; ++i) {
    rows.push_back({std::to_string(i + 1),
                    {CheckCell("Selected", record.XV_(selector) == i + 1),
                     TextCell("ID", (record.*identifier)(i))}});
  }
  return rows;
}

struct ConversionFields {
  Text (clsInstrument::*name)(int) const;
  Text (clsInstrument::*longName)(int) const;
  Integer (clsInstrument::*factor)(int) const;
  int entries;
  int firstLevels;  // LA_ entry of the table's entry 0
};

std::vector<ViewEntry> ConversionEntries(const clsInstrument& r, const ConversionFields& fields) {
  std::vector<ViewEntry> rows;
  for (int i = 0; i < fields.entries; ++i) {
    const int levels = fields.firstLevels + i;
    const Integer factor = (r.*fields.factor)(i);
    const Single volt = r.LA_volt(levels);
    const Single ratio = r.LA_ratio(levels);
    rows.push_back({std::to_string(i + 1),
                    {TextCell("Name", (r.*fields.name)(i)),
                     TextCell("Long Name", (r.*fields.longName)(i)),
                     Cell("Factor", std::int64_t{factor}, TwoDecimals(factor)),
                     LevelCell("1st", r.LA_warn(levels), 0), LevelCell("2nd", r.LA_alarm(levels), 0),
                     Cell("Ratio", ratio, PlainNumber(ratio)),
                     Cell("Volt", volt, volt == 1.0f ? "ME" : "Normal")}});
  }
  return rows;
}

// "1/1", "1/10", "1/100", "1/1000": one part in 10 to the power of the decimals.
std::string PointText(Integer point) {
  constexpr int kMostDecimals = 9;
  const int zeros = point < 0 ? 0 : std::min<int>(point, kMostDecimals);
  return "1/1" + std::string(static_cast<std::size_t>(zeros), '0');
}

std::vector<ViewEntry> PidEntries(const clsInstrument& r, int range) {
  std::vector<ViewEntry> rows;
  for (int e = 0; e < kPidReachable; ++e) {
    const Integer point = r.PIDPoint(e, range);
    const Text unit = r.PIDUnit(e, range);
    const Single digit = r.PIDDigit(e, range);
    const Single factor = r.PIDFactor(e, range);
    rows.push_back({std::to_string(e + 1),
                    {TextCell("Name", r.PIDName(e)), TextCell("Long Name", r.PIDLongName(e)),
                     LevelCell("FullScale", r.PIDFullScale(e, range), point, unit),
                     Cell("Point", std::int64_t{point}, PointText(point)), TextCell("Unit", unit),
                     Cell("Digit", digit, PlainNumber(digit)),
                     LevelCell("1st", r.PIDWarn(e, range), point, unit),
                     LevelCell("2nd", r.PIDAlarm(e, range), point, unit),
                     LevelCell("STEL", r.PIDStel(e, range), point, unit),
                     LevelCell("TWA", r.PIDTwa(e, range), point, unit),
                     LevelCell("AutoCal", r.PIDAutoCal(e, range), point, unit),
                     Cell("Factor", factor, TwoDecimals(factor))}});
  }
  return rows;
}

}  // namespace

std::vector<ViewEntry> OtherSettingEntries(const clsInstrument& record) {
  ViewEntry entry;
  for (const rules::OtherSettingRule& rule : rules::OtherSettingRules()) {
    entry.cells.push_back(OtherSettingCell(rule, record));
  }
  return {entry};
}

std::vector<ViewEntry> StationEntries(const clsInstrument& record) {
  return ListEntries(record, rules::kStationEntries, &clsInstrument::XS_, 0);
}

std::vector<ViewEntry> UserEntries(const clsInstrument& record) {
  return ListEntries(record, rules::kUserEntries, &clsInstrument::XZ_, 1);
}

std::vector<ViewEntry> PreDefinedConversionEntries(const clsInstrument& record) {
  return ConversionEntries(record, {&clsInstrument::LB_name, &clsInstrument::LB_longname,
                                    &clsInstrument::LB_fc, kPreDefinedEntries, 0});
}

std::vector<ViewEntry> UserConversionEntries(const clsInstrument& record) {
  return ConversionEntries(record, {&clsInstrument::LO_name, &clsInstrument::LO_longname,
                                    &clsInstrument::LO_fc, kUserDefinedEntries, kUserLevelsFirst});
}

std::vector<ViewEntry> PidHighRangeEntries(const clsInstrument& record) {
  return PidEntries(record, 0);
}

std::vector<ViewEntry> PidLowRangeEntries(const clsInstrument& record) {
  return PidEntries(record, 1);
}

}  // namespace kv::view
