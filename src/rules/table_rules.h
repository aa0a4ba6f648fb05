#pragma once
// The rules of the user-defined conversion table and of the station and user lists.
#include <array>
#include <string>
#include <string_view>

#include "rules/edit_check.h"

namespace kv::rules {

// ---- user-defined conversion table: rows 1..5, columns 1..7 -----------------
enum UserConversionColumn : int {
  kConvName = 1,
  kConvLongName,
  kConvFactor,
  kConvWarn,
  kConvAlarm,
  kConvRatio,
  kConvVolt,
};
inline constexpr int kUserConversionRows = 6;     // row 0 and rows 1..5
inline constexpr int kUserConversionColumns = 8;  // column 0 is the entry number

using ConversionRowTexts = std::array<std::string, kUserConversionColumns>;

// Row r holds user entry r - 1: LO_ entry r - 1, LA_ entry r + 29.
SettingRef UserConversionSetting(int row, int column);

// Validate-edit: Name up to 3 characters of A-Z, 0-9, '-' and inner blanks,
// Long Name up to 20 characters with symbols, Factor a number not below 0
// (shown "0.00"). The other columns take any text; the table check judges them.
EditCheck CheckUserConversionEdit(int row, int column, std::string_view text);

// The table check after an import or an edit, cell by cell against its row:
// empty or "*****" stands for no entry in Name ("---"), Long Name (twenty
// "-") and the two levels ("*****") and is refused elsewhere; Factor 0.01 to
// 25; the levels 0 up to Ratio and 50000, rounded to steps of 250 (Ratio from
// 25000) or 100, halves to even, the 1st not above the 2nd; Ratio up to 6
// characters, 0 to 150000; Volt "ME" or "Normal" (also 1.3 and 2.4).
EditCheck CheckUserConversionCell(int row, const ConversionRowTexts& texts, int column);

// ---- station and user lists ---------------------------------------------------
enum class NameList { Station, User };
inline constexpr int kStationEntries = 128;
inline constexpr int kUserEntries = 32;

// A name of up to 16 printable characters, apostrophe included; not "{" or "}".
EditCheck CheckListName(NameList list, int entry, std::string_view text);

// A click on a list entry makes it the one selected entry: the answer gives
// the entry number (from 1) that XV_ 0 (stations) or 1 (users) stores. The
// window unchecks every other row.
EditCheck SelectListEntry(NameList list, int entry);

}  // namespace kv::rules
