#include "common/name_text.h"

namespace kv {
namespace {

constexpr char kApostrophe = '\'';
constexpr char kBackspace = '\b';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

bool IsSymbol(char c, bool allowQuote) {
  if (c == kApostrophe) return allowQuote;
  const auto code = static_cast<unsigned char>(c);
  return (code >= 32 && code <= 47) || (code >= 58 && code <= 64) || (code >= 91 && code <= 96) ||
         c == '~' || c == '|';
}

}  // namespace

bool IsValidText(std::string_view text, bool allowSymbols, bool allowQuote) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool plain = (c == ' ' && i > 0) || c == '-' || IsDigit(c) || IsUpper(c);
    if (plain) continue;
    if (allowSymbols && (IsLower(c) || IsSymbol(c, allowQuote))) continue;
    return false;
  }
  return true;
}

bool IsAllowedNameKey(char key) {
  return key == ' ' || key == '*' || key == '-' || IsDigit(key) || IsUpper(key) || IsLower(key) ||
         key == kBackspace;
}

}  // namespace kv
