#pragma once
// The characters a name may hold: gas names, long names, station and user
// names, and the keys the "Manufacture number" row lets through. The grids'
// editing rules, the table imports and the check before a file is sent all
// use these two.
#include <string_view>

namespace kv {

// Every character must be an upper-case letter A-Z, a digit, "-" or a blank
// that is not the first character; with `allowSymbols` also a lower-case
// letter, a blank anywhere, the printable ASCII characters 32-47 (the
// apostrophe only with `allowQuote`), 58-64 and 91-96, "~" and "|", but never
// "," or ";": a comma would split the name into two fields of its line and a
// semicolon end a maintenance file's line. The empty text is valid.
bool IsValidText(std::string_view text, bool allowSymbols, bool allowQuote);

// The keys of the free "Manufacture number" row: blank, "*", "-", digits,
// A-Z, a-z and Backspace.
bool IsAllowedNameKey(char key);

}  // namespace kv
