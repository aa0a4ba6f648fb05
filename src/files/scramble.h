#pragma once
// The keyless character code of maintenance data file lines. Each byte of a
// record text becomes two characters between "F" and "U" (for the short texts
// a record holds), so a file is plain text that does not read as commands.
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// Byte i of code c becomes the characters 70 + (i + c) mod 16 and
// 70 + (i + c) div 16: "abc" becomes "GLILKL".
std::string ScrambleLine(std::string_view recordText);

// The inverse: each pair of characters gives one byte; a final odd character
// is ignored. Empty when a pair decodes to no byte at all (the line was never
// scrambled, or was damaged).
std::optional<std::string> UnscrambleLine(std::string_view scrambled);

}  // namespace kv
