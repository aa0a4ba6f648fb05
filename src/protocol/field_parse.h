// Parsers for the text fields of instrument replies and maintenance data file lines.
//
// Every parser ignores leading and trailing blanks (the space character only;
// control characters never reach them on the wire) and returns an empty optional
// on any conversion failure, which stops the reply row or the file line at hand.
// Bytes are Latin-1; no parser looks at the locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// The text without its leading and trailing spaces.
std::string Trim(std::string_view text);

// "text3" fields: padded with spaces on the right and cut to exactly `width` characters.
std::string PadText(std::string_view text, std::size_t width);

// "text(n)" fields: cut to at most `width` characters, never padded.
std::string CutText(std::string_view text, std::size_t width);

// One or more hexadecimal digits (either case), nothing else apart from the
// surrounding blanks: no prefix, no sign, no length limit. "OVER" and "" are not.
bool IsHexadecimal(std::string_view text);

// A decimal number: optional sign, digits, optional fraction (".5", "5." and
// "-3.25" are numeric), at least one digit, surrounding blanks allowed. No
// exponent and no hexadecimal prefix; empty or blank text is not numeric.
bool IsNumeric(std::string_view text);

// Unsigned hexadecimal digits without prefix whose value fits the signed type:
// ParseHex16("FF") is 255, ParseHex16("8000") fails, ParseHex32("80000000") fails.
std::optional<std::int16_t> ParseHex16(std::string_view text);
std::optional<std::int32_t> ParseHex32(std::string_view text);

// Whole decimal numbers with an optional "+" or "-" sign that fit the signed
// type. A fraction ("1.5") is a conversion failure, not a rounding.
std::optional<std::int16_t> ParseDec16(std::string_view text);
std::optional<std::int32_t> ParseDec32(std::string_view text);

}  // namespace kv
