#pragma once
// The rules of the gas-name grid: row 1 the catalytic gas with its second
// ("Other") gas, rows 2..4 the fixed sensors (not editable), rows 5..7 the
// optional sensors with a name and a long name.
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/instrument.h"
#include "rules/edit_check.h"

namespace kv::rules {

enum GasNameColumn : int {
  kGasNameName = 1,
  kGasNameLongName = 2,
  kGasNameRatio = 3,
  kGasNameOther = 4,
  kGasNameOtherLongName = 5,
  kGasNameOtherRatio = 6,
};

// Column 1 of rows 1..7, index 0 for row 1: the names a new name must differ from.
using GasNames = std::array<std::string, 7>;

// Before-edit: false for the unused cells (the fixed sensors, the optional
// sensors' ratio columns) and for row 1's long name and ratio, which follow the chosen gas.
bool GasNameCellEditable(int row, int column);
// The setting a cell edits; an empty name for cells without one.
SettingRef GasNameSetting(int row, int column);

// The catalytic gas is one of these or the "Other" gas: "CH4", "HEX", "H2 ", otherName.
ChoiceItems CatalyticGasChoices(std::string_view otherName);

// Before-edit choice list of a cell: row 1's name chooses among the catalytic
// gases; an optional sensor of type PID (`gasType` 5) among the low-range PID
// names; every other cell is typed freely (empty list).
ChoiceItems GasNameChoices(int row, int column, int gasType, std::string_view otherName,
                           std::span<const std::string> pidNames);

// The names and long names of the PID entries 0..16 as the record holds them,
// for the two functions above and below when no PID grid is at hand.
ChoiceItems PidNamesOf(const clsInstrument& record);
ChoiceItems PidLongNamesOf(const clsInstrument& record);

// Texts of row 1's "Other" cells, which the catalytic choice list ends with.
struct OtherGasTexts {
  std::string name, longName, ratio;
};

// After-edit: what a chosen name fills into columns 2 and 3 of its row.
struct GasNameFill {
  std::string longName;
  std::optional<std::string> ratio;  // catalytic gases only
};
// A catalytic sensor (`gasType` 0) takes the long name and ratio of the chosen
// gas, a PID sensor (5) the long name of the chosen PID entry. Nothing for a
// name that is not an item of the list, or for other sensor types.
std::optional<GasNameFill> FillAfterGasName(int gasType, std::string_view chosen,
                                            const OtherGasTexts& other,
                                            std::span<const std::string> pidNames,
                                            std::span<const std::string> pidLongNames);

// Validate-edit. An empty entry is accepted; names are up to 3 characters of
// A-Z, 0-9, '-' and inner blanks, unique in column 1 (the "Other" name
// differs from every name there); long names up to 20 characters with
// symbols; ratios whole numbers 0 to 50000.
EditCheck CheckGasNameCell(const GasNames& names, int row, int column, std::string_view text);

}  // namespace kv::rules
