#include "protocol/field_parse.h"

#include <limits>

namespace kv {
namespace {

constexpr char kBlank = ' ';

std::string_view TrimView(std::string_view text) {
  const auto first = text.find_first_not_of(kBlank);
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(kBlank);
  return text.substr(first, last - first + 1);
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// The digit's value, or -1 for a character that is no hexadecimal digit.
int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Accumulates digits of the given base into a value no greater than `limit`;
// stops before the value could pass the limit, so long inputs never overflow.
std::optional<std::int64_t> AccumulateDigits(std::string_view digits, int base,
                                             std::int64_t limit) {
  if (digits.empty()) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  for (const char c : digits) {
    const int digit = base == 16 ? HexDigitValue(c) : (IsDecimalDigit(c) ? c - '0' : -1);
    if (digit < 0) {
      return std::nullopt;
    }
    value = value * base + digit;
    if (value > limit) {
      return std::nullopt;
    }
  }
  return value;
}

template <typename Int>
std::optional<Int> ParseHex(std::string_view text) {
  const auto value =
      AccumulateDigits(TrimView(text), 16, std::numeric_limits<Int>::max());
  if (!value) {
    return std::nullopt;
  }
  return static_cast<Int>(*value);
}

template <typename Int>
std::optional<Int> ParseDec(std::string_view text) {
  std::string_view digits = TrimView(text);
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  // The negative range reaches one further than the positive one.
  const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<Int>::min()}
                                      : std::int64_t{std::numeric_limits<Int>::max()};
  const auto magnitude = AccumulateDigits(digits, 10, limit);
  if (!magnitude) {
    return std::nullopt;
  }
  return static_cast<Int>(negative ? -*magnitude : *magnitude);
}

}  // namespace

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string PadText(std::string_view text, std::size_t width) {
  std::string padded(text.substr(0, width));
  padded.resize(width, kBlank);
  return padded;
}

std::string CutText(std::string_view text, std::size_t width) {
  return std::string(text.substr(0, width));
}

bool IsHexadecimal(std::string_view text) {
  const std::string_view digits = TrimView(text);
  if (digits.empty()) {
    return false;
  }
  for (const char c : digits) {
    if (HexDigitValue(c) < 0) {
      return false;
    }
  }
  return true;
}

bool IsNumeric(std::string_view text) {
  std::string_view rest = TrimView(text);
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    rest.remove_prefix(1);
  }
  bool seen_digit = false;
  bool seen_point = false;
  for (const char c : rest) {
    if (IsDecimalDigit(c)) {
      seen_digit = true;
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      return false;
    }
  }
  return seen_digit;
}

std::optional<std::int16_t> ParseHex16(std::string_view text) {
  return ParseHex<std::int16_t>(text);
}

std::optional<std::int32_t> ParseHex32(std::string_view text) {
  return ParseHex<std::int32_t>(text);
}

std::optional<std::int16_t> ParseDec16(std::string_view text) {
  return ParseDec<std::int16_t>(text);
}

std::optional<std::int32_t> ParseDec32(std::string_view text) {
  return ParseDec<std::int32_t>(text);
}

}  // namespace kv
