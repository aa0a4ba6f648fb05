#include "rules/setting_apply.h"

#include <cmath>
#include <type_traits>
#include <variant>

#include "protocol/format_gas_value.h"
#include "rules/gas_name_rules.h"
#include "rules/other_setting_rules.h"
#include "rules/slot_grid_rules.h"

namespace kv::rules {
namespace {

constexpr std::string_view kMappingSetting = "UG_";

// The accepted edit as the value the setting's type holds; nullopt where the
// type cannot hold it exactly, with `kept` the value it would become.
std::optional<SettingValue> TypedValue(const SettingValue& current, const EditCheck& check,
                                       std::string& kept) {
  const OtherSettingRule* row = OtherSettingBySetting(check.setting.name);
  const bool choice = row != nullptr && row->list != OtherChoiceList::None;
  return std::visit(
      [&](const auto& held) -> std::optional<SettingValue> {
        using Type = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Type, Text>) {
          // An empty entry in "Other Setting" keeps what the row holds.
          if (row != nullptr && Trim(check.text).empty()) return SettingValue(held);
          // A text setting chosen from a list (the language) keeps the item's index.
          if (choice && check.number) return SettingValue(std::to_string(std::lround(*check.number)));
          return SettingValue(check.text);
        } else {
          if (!check.number) return SettingValue(held);  // an empty entry a rule keeps
          const double wanted = *check.number;
          Type stored{};
          if constexpr (std::is_same_v<Type, bool>) {
            stored = wanted != 0;
          } else if constexpr (std::is_integral_v<Type>) {
            stored = std::fabs(wanted) < 1e15 ? static_cast<Type>(std::llround(wanted)) : Type{};
          } else {
            stored = static_cast<Type>(wanted);
          }
          const double back = static_cast<double>(stored);
          // Floats hold what their own precision gives; anything else must come back whole.
          const bool exact = std::is_floating_point_v<Type>
                                 ? static_cast<float>(back) == static_cast<float>(wanted)
                                 : back == wanted;
          if (!exact) {
            kept = NumberText(back, 2);
            return std::nullopt;
          }
          return SettingValue(stored);
        }
      },
      current);
}

bool Store(clsInstrument& record, const SettingRef& setting, const SettingValue& value) {
  int index = 0;
  const SettingInfo* info = FindSettingInfo(setting, index);
  return info != nullptr && info->set(record, index, value);
}

// A chosen gas name brings its long name (and for the catalytic gas its ratio).
void FillAfterName(clsInstrument& record, int slot) {
  const OtherGasTexts other{record.CATOther(), record.G1_(1), std::to_string(record.FL_(1))};
  const std::optional<GasNameFill> fill =
      FillAfterGasName(record.GasType(slot), record.GasName(slot), other, PidNamesOf(record),
                       PidLongNamesOf(record));
  if (!fill) return;
  const int row = slot + 1;
  (void)Store(record, GasNameSetting(row, kGasNameLongName), SettingValue(fill->longName));
  if (fill->ratio) {
    const SettingRef ratio = GasNameSetting(row, kGasNameRatio);
    const std::optional<SettingValue> held = ReadSettingValue(record, ratio);
    const std::optional<ParsedNumber> parsed = ParseNumber(*fill->ratio);
    if (!held || !parsed) return;
    std::string kept;
    const EditCheck number = EditCheck::Accept(*fill->ratio, parsed->value).Of(ratio);
    if (const std::optional<SettingValue> value = TypedValue(*held, number, kept)) {
      (void)Store(record, ratio, *value);
    }
  }
}

// A mask of display channels for one slot: each checked channel leaves the
// slot that carried it, as a click in the mapping grid does.
void StoreMapping(clsInstrument& record, int slot, int mask) {
  ChannelMap map = ChannelMap::FromRecord(record);
  for (int channel = 0; channel < kDisplayChannels; ++channel) {
    (void)map.Set(slot, channel, ((mask >> channel) & 1) != 0);
  }
  StoreChannelMap(record, map);
}

}  // namespace

const SettingInfo* FindSettingInfo(const SettingRef& setting, int& index) {
  for (const SettingInfo& info : AllSettings()) {
    if (info.name != setting.name) continue;
    switch (info.kind) {
      case IndexKind::Scalar:
        index = 0;
        break;
      case IndexKind::PidRange:
        if (setting.range < 0 || setting.range >= kPidRanges) return nullptr;
        index = setting.index * kPidRanges + setting.range;
        break;
      default:
        index = setting.index;
        break;
    }
    return index >= 0 && index < info.count ? &info : nullptr;
  }
  return nullptr;
}

std::optional<SettingValue> ReadSettingValue(const clsInstrument& record, const SettingRef& setting) {
  int index = 0;
  const SettingInfo* info = FindSettingInfo(setting, index);
  if (info == nullptr) return std::nullopt;
  return info->get(record, index);
}

std::string ApplySettingEdit(clsInstrument& record, const EditCheck& check) {
  const SettingRef& setting = check.setting;
  if (!check.accepted) return check.reason;
  if (setting.name == kMappingSetting) {
    if (!check.number) return "needs a number";
    StoreMapping(record, setting.index, static_cast<int>(*check.number));
    SetRatioChannels(record);
    return {};
  }
  const std::optional<SettingValue> current = ReadSettingValue(record, setting);
  if (!current) return "the record has no such entry";
  std::string kept;
  const std::optional<SettingValue> value = TypedValue(*current, check, kept);
  if (!value) return "\"" + check.text + "\" would be stored as " + kept;
  if (!Store(record, setting, *value)) return "the record has no such entry";
  if (setting.name == "GasName") FillAfterName(record, setting.index);
  SetRatioChannels(record);
  return {};
}

}  // namespace kv::rules
