#include "rules/gas_name_rules.h"

namespace kv::rules {
namespace {

constexpr int kCatalyticRow = 1;
constexpr int kGasTypeCatalytic = 0;
constexpr int kGasTypePid = 5;
constexpr long kHighestRatio = 50000;

bool IsOptionalRow(int row) { return row >= 5 && row <= 7; }

bool SameName(std::string_view a, std::string_view b) { return Trim(a) == Trim(b); }

ChoiceItems WithOther(std::string_view fixed, std::string_view other) {
  ChoiceItems items = SplitChoices(fixed);
  items.emplace_back(other);
  return items;
}

EditCheck CheckNameCell(const GasNames& names, int row, int column, std::string_view text) {
  EditCheck check = CheckShortName(text);
  if (!check.accepted) return check;
  for (int other = 1; other <= static_cast<int>(names.size()); ++other) {
    // The catalytic "Other" name may not repeat any name, its own row's included.
    if (column == kGasNameName && other == row) continue;
    if (SameName(names[static_cast<std::size_t>(other - 1)], text)) {
      return EditCheck::Refuse("accepts a name not used in another row");
    }
  }
  return check;
}

}  // namespace

bool GasNameCellEditable(int row, int column) {
  if (row == kCatalyticRow) {
    return column == kGasNameName || (column >= kGasNameOther && column <= kGasNameOtherRatio);
  }
  return IsOptionalRow(row) && (column == kGasNameName || column == kGasNameLongName);
}

SettingRef GasNameSetting(int row, int column) {
  if (!GasNameCellEditable(row, column)) {
    // Row 1's long name and ratio are edited through the chosen gas.
    if (row == kCatalyticRow && column == kGasNameLongName) return {"G1_", 0};
    if (row == kCatalyticRow && column == kGasNameRatio) return {"FL_", 0};
    return {};
  }
  const int slot = row - 1;
  switch (column) {
    case kGasNameName:
      return {"GasName", slot};
    case kGasNameLongName:
      return {"G1_", slot - 2};  // G1_ 2..4 belong to the optional sensors
    case kGasNameOther:
      return {"CATOther"};
    case kGasNameOtherLongName:
      return {"G1_", 1};
    case kGasNameOtherRatio:
      return {"FL_", 1};
    default:
      return {};
  }
}

ChoiceItems CatalyticGasChoices(std::string_view otherName) {
  return WithOther("CH4|HEX|H2 ", otherName);
}

ChoiceItems GasNameChoices(int row, int column, int gasType, std::string_view otherName,
                           std::span<const std::string> pidNames) {
  if (column != kGasNameName) return {};
  if (row == kCatalyticRow) return CatalyticGasChoices(otherName);
  if (IsOptionalRow(row) && gasType == kGasTypePid)
    return ChoiceItems(pidNames.begin(), pidNames.end());
  return {};
}

ChoiceItems PidNamesOf(const clsInstrument& record) {
  ChoiceItems names;
  for (int entry = 0; entry < kPidReachable; ++entry) names.push_back(record.PIDName(entry));
  return names;
}

ChoiceItems PidLongNamesOf(const clsInstrument& record) {
  ChoiceItems names;
  for (int entry = 0; entry < kPidReachable; ++entry) names.push_back(record.PIDLongName(entry));
  return names;
}

std::optional<GasNameFill> FillAfterGasName(int gasType, std::string_view chosen,
                                            const OtherGasTexts& other,
                                            std::span<const std::string> pidNames,
                                            std::span<const std::string> pidLongNames) {
  if (gasType == kGasTypeCatalytic) {
    const int index = ChoiceIndex(chosen, CatalyticGasChoices(other.name));
    if (index < 0) return std::nullopt;
    const auto i = static_cast<std::size_t>(index);
    // "HYDOGEN" is the instrument's own spelling.
    return GasNameFill{WithOther("METHANE|HEXANE|HYDOGEN", other.longName)[i],
                       WithOther("50000|12000|40000", other.ratio)[i]};
  }
  if (gasType == kGasTypePid) {
    const int index = ChoiceIndex(chosen, pidNames);
    if (index < 0 || static_cast<std::size_t>(index) >= pidLongNames.size()) return std::nullopt;
    return GasNameFill{pidLongNames[static_cast<std::size_t>(index)], std::nullopt};
  }
  return std::nullopt;
}

EditCheck CheckGasNameCell(const GasNames& names, int row, int column, std::string_view text) {
  if (!GasNameCellEditable(row, column)) return EditCheck::Refuse(std::string(kNotEditable));
  const SettingRef setting = GasNameSetting(row, column);
  if (text.empty()) return EditCheck::Accept({}).Of(setting);
  switch (column) {
    case kGasNameName:
    case kGasNameOther:
      return CheckNameCell(names, row, column, text).Of(setting);
    case kGasNameLongName:
    case kGasNameOtherLongName:
      return CheckLongName(text).Of(setting);
    default:
      return CheckWholeNumber(text, 0, kHighestRatio).Of(setting);
  }
}

}  // namespace kv::rules
