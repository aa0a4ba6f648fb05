#include "app/setting_access.h"

#include <cmath>
#include <type_traits>

#include "app/grid_rules.h"
#include "model/instrument_settings.h"
#include "rules/setting_apply.h"

namespace kv {
namespace {

bool IsText(const QVariant& value) { return value.typeId() == QMetaType::QString; }

}  // namespace

QVariant ReadSetting(const clsInstrument& record, const rules::SettingRef& setting) {
  int index = 0;
  const SettingInfo* info = rules::FindSettingInfo(setting, index);
  if (info == nullptr) return {};
  return std::visit(
      [](const auto& value) -> QVariant {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, Text>) {
          return ToQString(value);
        } else if constexpr (std::is_same_v<T, bool>) {
          return value;
        } else {
          return static_cast<double>(value);
        }
      },
      info->get(record, index));
}

bool WriteSetting(clsInstrument& record, const rules::SettingRef& setting, const QVariant& value) {
  int index = 0;
  const SettingInfo* info = rules::FindSettingInfo(setting, index);
  if (info == nullptr) return false;
  SettingValue typed = info->get(record, index);
  std::visit(
      [&value](auto& held) {
        using T = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<T, Text>) {
          held = ToLatin1(value.toString());
        } else if constexpr (std::is_same_v<T, bool>) {
          held = value.toDouble() != 0;
        } else if constexpr (std::is_floating_point_v<T>) {
          held = static_cast<T>(value.toDouble());
        } else {
          held = static_cast<T>(std::lround(value.toDouble()));
        }
      },
      typed);
  return info->set(record, index, typed);
}

bool SameSettingValue(const QVariant& grid, const QVariant& record) {
  if (IsText(record)) return grid.toString() == record.toString();
  // An empty entry stands for 0, as the instrument reads an empty field.
  return static_cast<float>(grid.toDouble()) == static_cast<float>(record.toDouble());
}

}  // namespace kv
