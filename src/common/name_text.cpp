#include "common/name_text.h"

namespace kv {
namespace {

constexpr char kBackspace = '\b';

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsLineSeparator(char c) { return c == ',' || c == ';'; }

bool IsPlainNameCharacter(char c, bool first) {
  return (c == ' ' && !first) || c == '-' || IsDigit(c) || IsUpper(c);
}

// The symbol ranges: 32-47, 58-64, 91-96, "~" and "|"; never the comma that
// separates the fields of a line, nor the semicolon that ends a file's line.
bool IsSymbol(char c, bool allowQuote) {
  if (c == '\'') return allowQuote;
  if (IsLineSeparator(c)) return false;
  return (c >= ' ' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') || c == '~' ||
         c == '|';
}

}  // namespace

bool IsValidText(std::string_view text, bool allowSymbols, bool allowQuote) {
  bool first = true;
  for (const char c : text) {
    const bool valid = IsPlainNameCharacter(c, first) ||
                       (allowSymbols && (IsLower(c) || IsSymbol(c, allowQuote)));
    if (!valid) return false;
    first = false;
  }
  return true;
}

bool IsAllowedNameKey(char key) {
  return key == ' ' || key == '*' || key == '-' || key == kBackspace || IsDigit(key) || IsUpper(key) ||
         IsLower(key);
}

}  // namespace kv
