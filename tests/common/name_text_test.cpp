#include "common/name_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

struct TextCase {
  const char* what;
  std::string text;
  bool allowSymbols;
  bool allowQuote;
  bool valid;
};

class NameText : public testing::TestWithParam<TextCase> {};

TEST_P(NameText, FollowsTheNameRule) {
  const TextCase& c = GetParam();
  EXPECT_EQ(IsValidText(c.text, c.allowSymbols, c.allowQuote), c.valid) << c.what << ": \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameText,
    testing::Values(
        TextCase{"empty text", "", false, false, true},
        TextCase{"upper case and digits", "CO2", false, true, true},
        TextCase{"hyphen first", "-A1", false, false, true},
        TextCase{"inner blank", "H2 S", false, false, true},
        TextCase{"trailing blank", "H2 ", false, false, true},
        TextCase{"leading blank without symbols", " CO", false, true, false},
        TextCase{"leading blank with symbols", " co", true, false, true},
        TextCase{"lower case without symbols", "co2", false, true, false},
        TextCase{"lower case with symbols", "Methane (test)", true, true, true},
        TextCase{"dot and slash without symbols", "A.B/C", false, true, false},
        TextCase{"every symbol range", " !\"#$%&()*+-./:<=>?@[\\]^_`~|", true, false, true},
        TextCase{"comma splits a line's fields", "J,DOE", true, true, false},
        TextCase{"semicolon ends a file's line", "semi;colon", true, true, false},
        TextCase{"apostrophe with symbols and quote", "O'NEIL", true, true, true},
        TextCase{"apostrophe with symbols, no quote", "O'NEIL", true, false, false},
        TextCase{"apostrophe without symbols", "O'NEIL", false, true, false},
        TextCase{"brace is never allowed", "A{B", true, true, false},
        TextCase{"closing brace", "A}", true, true, false},
        TextCase{"tab", "A\tB", true, true, false},
        TextCase{"DEL", "A\x7F", true, true, false},
        TextCase{"Latin-1 letter", "M\xC9THANE", true, true, false},
        TextCase{"Latin-1 letter without symbols", "\xC4", false, false, false},
        TextCase{"quote switch alone allows no symbol", "A.B", false, true, false},
        TextCase{"tilde and bar", "A~B|C", true, false, true},
        TextCase{"brackets and friends", "[]^_`@?:<=>", true, false, true}));

TEST(NameKey, ManufactureNumberKeys) {
  const std::string allowed = " *-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz\b";
  for (int code = 0; code < 256; ++code) {
    const char key = static_cast<char>(code);
    EXPECT_EQ(IsAllowedNameKey(key), allowed.find(key) != std::string::npos) << "key " << code;
  }
}

}  // namespace
}  // namespace kv
