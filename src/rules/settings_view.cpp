#include "rules/settings_view.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "common/datetime.h"
#include "protocol/format_gas_value.h"
#include "rules/edit_check.h"
#include "rules/settings_view_parts.h"

namespace kv {
namespace {

struct GroupBuilder {
  std::string_view key;
  std::string_view title;
  std::vector<ViewEntry> (*entries)(const clsInstrument&);
};

// The window's tabs and grids, in its order, under its labels.
constexpr std::array kGroups = std::to_array<GroupBuilder>({
    {"identity", "Identity", view::IdentityEntries},
    {"channels", "Alarm Levels", view::AlarmLevelEntries},
    {"gas_names", "Gas Name and CAT Ratio", view::GasNameEntries},
    {"channel_mapping", "Channel GAS Mapping", view::ChannelMappingEntries},
    {"gas_options", "Gas Options", view::GasOptionEntries},
    {"methane_elimination", "Methane Elimination", view::MethaneEliminationEntries},
    {"other", "Other Setting", view::OtherSettingEntries},
    {"stations", "Station", view::StationEntries},
    {"users", "User", view::UserEntries},
    {"conversion", "Pre-Defined Table", view::PreDefinedConversionEntries},
    {"user_conversion", "User Defined Table", view::UserConversionEntries},
    {"pid_high", "PID High Range", view::PidHighRangeEntries},
    {"pid_low", "PID Low Range", view::PidLowRangeEntries},
});

constexpr auto kGroupKeys = [] {
  std::array<std::string_view, kGroups.size()> keys{};
  for (std::size_t i = 0; i < kGroups.size(); ++i) keys[i] = kGroups[i].key;
  return keys;
}();

bool IsNumber(const std::string& text) {
  return !text.empty() && std::isdigit(static_cast<unsigned char>(text.back())) != 0;
}

struct ToView {
  ViewValue operator()(bool v) const { return v; }
  ViewValue operator()(Integer v) const { return std::int64_t{v}; }
  ViewValue operator()(Long v) const { return std::int64_t{v}; }
  ViewValue operator()(Single v) const { return v; }
  ViewValue operator()(Date v) const { return FormatGeneralDate(FromSerialDate(v)); }
  ViewValue operator()(const Text& v) const { return v; }
};

}  // namespace

std::span<const std::string_view> SettingsViewGroupKeys() { return kGroupKeys; }

std::vector<ViewGroup> BuildSettingsView(const clsInstrument& record) {
  std::vector<ViewGroup> groups;
  for (const GroupBuilder& group : kGroups) {
    groups.push_back({group.key, group.title, group.entries(record)});
  }
  return groups;
}

std::optional<ViewGroup> BuildSettingsViewGroup(const clsInstrument& record, std::string_view key) {
  for (const GroupBuilder& group : kGroups) {
    if (group.key == key) return ViewGroup{group.key, group.title, group.entries(record)};
  }
  return std::nullopt;
}

std::string ViewKey(std::string_view caption) {
  caption = caption.substr(0, caption.find('('));
  std::string key;
  bool gap = false;
  for (const char c : caption) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      if (gap && !key.empty()) key += '_';
      key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      gap = false;
    } else {
      gap = true;
    }
  }
  return key;
}

std::string ShownText(const ViewCell& cell) {
  const std::string_view unit = rules::Trim(cell.unit);
  if (unit.empty() || !IsNumber(cell.text)) return cell.text;
  return cell.text + " " + std::string(unit);
}

ViewValue ToViewValue(const SettingValue& value) { return std::visit(ToView{}, value); }

std::string PlainNumber(double value, int significantDigits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", significantDigits, value);
  return text;
}

namespace view {

const SettingInfo* FindSetting(std::string_view name) {
  const auto settings = AllSettings();
  const auto found = std::find_if(settings.begin(), settings.end(),
                                  [name](const SettingInfo& s) { return s.name == name; });
  return found == settings.end() ? nullptr : &*found;
}

ViewCell Cell(std::string caption, ViewValue value, std::string text, std::string unit) {
  std::string key = ViewKey(caption);
  return {std::move(key), std::move(caption), std::move(value), std::move(text), std::move(unit)};
}

ViewCell TextCell(std::string caption, const Text& text) {
  return Cell(std::move(caption), text, text);
}

ViewCell NumberCell(std::string caption, std::int64_t number) {
  return Cell(std::move(caption), number, std::to_string(number));
}

ViewCell LevelCell(std::string caption, Single level, int decimals, const Text& unit) {
  return Cell(std::move(caption), level, FormatGasValue(level, decimals),
              std::string(rules::Trim(unit)));
}

ViewCell CheckCell(std::string caption, bool checked) {
  return Cell(std::move(caption), checked, checked ? "[x]" : "[ ]");
}

ViewCell UnusedCell(std::string caption) {
  return Cell(std::move(caption), std::monostate{}, "-----");
}

std::string TwoDecimals(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

Text SlotName(const clsInstrument& record, int slot) {
  static constexpr std::array<const char*, 3> kFixed = {"OXY", "H2S", "CO "};
  if (IsFixedSensor(slot)) return kFixed[static_cast<std::size_t>(slot - 1)];
  return record.GasName(slot);
}

std::string SlotCaption(int slot) {
  static constexpr std::array<const char*, kSensorChannels> kCaptions = {
      "STD1", "STD2", "STD3", "STD4", "OPT1", "OPT2", "OPT3"};
  return slot >= 0 && slot < kSensorChannels ? kCaptions[static_cast<std::size_t>(slot)] : "";
}

}  // namespace view
}  // namespace kv
