#pragma once
// The character rules of names typed into the grids and read from the CSV
// tables: gas names, long names, conversion names, station and user names.
#include <string_view>

namespace kv {

// True when every character is a blank (not in first place), "-", a digit or
// an upper-case letter; with allowSymbols also a lower-case letter, a blank
// anywhere, "~", "|" or a printable character of 32..47, 58..64 or 91..96
// (the apostrophe only with allowQuote). The empty text is valid.
bool IsValidText(std::string_view text, bool allowSymbols, bool allowQuote);

// The keys the "Manufacture number" row lets through while typing: blank,
// "*", "-", digits, letters and Backspace.
bool IsAllowedNameKey(char key);

}  // namespace kv
