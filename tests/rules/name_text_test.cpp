#include "common/name_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

TEST(IsValidText, FollowsTheNameCharacterRule) {
  struct Case {
    std::string text;
    bool allowSymbols, allowQuote, valid;
  };
  const Case cases[] = {
      {"", false, false, true},
      {"CH4", false, false, true},
      {"H2-S", false, false, true},
      {"C O", false, false, true},   // an inner blank
      {" CO", false, false, false},  // a leading blank needs symbols
      {" CO", true, false, true},
      {"co", false, false, false},  // lower case needs symbols
      {"Methane (CH4)", true, false, true},
      {"A.B", false, true, false},     // symbols off: the quote switch alone allows nothing
      {"O'NEIL", true, false, false},  // the apostrophe needs allowQuote
      {"O'NEIL", true, true, true},
      {"A~B|C", true, false, true},
      {"A{B", true, true, false},  // 123 is outside every symbol range
      {"A}B", true, true, false},
      {"A\x7f", true, true, false},
      {"A\tB", true, true, false},       // control characters never
      {"\xe9T\xe9", true, true, false},  // Latin-1 letters are not ASCII
      {"[]^_`@?:;<=>", true, false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidText(c.text, c.allowSymbols, c.allowQuote), c.valid)
        << '"' << c.text << "\" symbols " << c.allowSymbols << " quote " << c.allowQuote;
  }
}

TEST(IsAllowedNameKey, LetsThroughNameKeysAndBackspace) {
  for (const char key : std::string("AZaz09 *-\b")) EXPECT_TRUE(IsAllowedNameKey(key)) << int(key);
  for (const char key : std::string("._/'{~\t\r")) EXPECT_FALSE(IsAllowedNameKey(key)) << int(key);
  EXPECT_FALSE(IsAllowedNameKey('\xc4'));
}

}  // namespace
}  // namespace kv
