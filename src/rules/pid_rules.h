#pragma once
// The rules of a PID sensor table row (grid `vfgPID`, columns 1..12), used
// when a cell is edited and when a CSV row is imported.
#include <array>
#include <string>
#include <string_view>

#include "rules/edit_check.h"

namespace kv::rules {

enum PidColumn : int {
  kPidName = 1,
  kPidLongName,
  kPidFullScale,
  kPidPoint,
  kPidUnit,
  kPidDigit,
  kPidWarn,
  kPidAlarm,
  kPidStel,
  kPidTwa,
  kPidAutoCal,
  kPidFactor,
};
inline constexpr int kPidColumns = 13;  // column 0 is the entry number

// The texts of one grid row, index = column.
using PidRowTexts = std::array<std::string, kPidColumns>;

// The setting a cell edits: the names per entry, the rest per entry and range.
SettingRef PidSetting(int range, int entry, int column);

// The row check of one cell, against the other cells of its row:
// - Name up to 3 characters of A-Z, 0-9, '-' and inner blanks; Long Name up
//   to 20 characters with symbols; neither may be empty.
// - FullScale one of the range's thirteen full scales, shown as the table shows it.
// - Point the resolution the full scale gives; Unit exactly "ppm".
// - Digit: a number in steps of the row's Point, at least the digit value the
//   full scale gives and at most 250 steps. The table's value is the
//   sensor's finest step, so a coarser digit is allowed and a finer one is
//   not; 250 steps is the most the instrument counts in one digit.
// - 1st, 2nd, STEL, TWA, AutoCal: empty or "*****" (shown "*****"), or a
//   number not below 0, shown with the row's decimal places; the 1st level
//   may not exceed the 2nd.
// - Factor: within the factor range of the full scale, shown "0.00"; the
//   instrument holds it as a whole number, so a fraction is refused, and it
//   may not be left out.
// A range the entry does not use (full scale 0 or empty) keeps every cell as
// it stands, but for names that are not empty.
EditCheck CheckPidCell(int range, int entry, const PidRowTexts& row, int column,
                       std::string_view text);

// The window's validate-edit: an empty entry is left to the row check, which
// marks it; any other text is checked as above.
EditCheck CheckPidEdit(int range, int entry, const PidRowTexts& row, int column,
                       std::string_view text);

// Every cell of a row (index = column; column 0 is always accepted): the
// check after a CSV import, which marks refused cells red.
std::array<EditCheck, kPidColumns> CheckPidRow(int range, int entry, const PidRowTexts& row);

}  // namespace kv::rules
