#include "files/csv_settings.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "rules/pid_rules.h"
#include "rules/pid_scales.h"
#include "rules/setting_apply.h"
#include "rules/table_rules.h"

namespace kv::csv {
namespace {

constexpr int kPidCsvEntry = 16;

}  // namespace

rules::SettingRef SettingOf(CsvTable table, int row, int column) {
  switch (table) {
    case CsvTable::Stations:
      return column == 1 ? rules::SettingRef{"XS_", row} : rules::SettingRef{};
    case CsvTable::Users:
      return column == 1 ? rules::SettingRef{"XZ_", row} : rules::SettingRef{};
    case CsvTable::PidHigh:
      return rules::PidSetting(rules::kPidHighRange, kPidCsvEntry, column);
    case CsvTable::PidLow:
      return rules::PidSetting(rules::kPidLowRange, kPidCsvEntry, column);
    case CsvTable::Conversion:
      return rules::UserConversionSetting(row + 1, column);
  }
  return {};
}

std::optional<SettingValue> ReadSetting(const clsInstrument& record, const rules::SettingRef& ref) {
  return rules::ReadSettingValue(record, ref);
}

bool WriteSetting(clsInstrument& record, const rules::SettingRef& ref, const std::string& text,
                  double number) {
  int index = 0;
  const SettingInfo* info = rules::FindSettingInfo(ref, index);
  if (info == nullptr) return false;
  // Keeps every conversion below defined, whatever number a file held.
  constexpr double kLargest = 1e9;
  number = std::isfinite(number) ? std::clamp(number, -kLargest, kLargest) : 0;
  SettingValue typed = info->get(record, index);
  std::visit(
      [&](auto& held) {
        using T = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<T, Text>) {
          held = text;
        } else if constexpr (std::is_same_v<T, bool>) {
          held = number != 0;
        } else if constexpr (std::is_floating_point_v<T>) {
          held = static_cast<T>(number);
        } else if constexpr (std::is_integral_v<T>) {
          held = static_cast<T>(std::lround(number));
        }
      },
      typed);
  return info->set(record, index, typed);
}

}  // namespace kv::csv
