#include "protocol/field_parse.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kv {
namespace {

TEST(ParseHex, ValuesMustFitTheSignedType) {
  struct Case {
    std::string text;
    std::optional<std::int16_t> hex16;
    std::optional<std::int32_t> hex32;
  };
  const std::vector<Case> cases = {
      {"FF", 255, 255},
      {"ff", 255, 255},
      {"0", 0, 0},
      {" 1A ", 26, 26},
      {"7FFF", 32767, 32767},
      {"8000", std::nullopt, 32768},
      {"FFFF", std::nullopt, 65535},
      {"00000000007FFF", 32767, 32767},  // leading zeros do not count against the width
      {"7FFFFFFF", std::nullopt, 2147483647},
      {"80000000", std::nullopt, std::nullopt},
      {"FFFFFFFFFFFFFFFFFFFFFFFF", std::nullopt, std::nullopt},  // no wrap-around
      {"", std::nullopt, std::nullopt},
      {"   ", std::nullopt, std::nullopt},
      {"0x1A", std::nullopt, std::nullopt},
      {"-1", std::nullopt, std::nullopt},
      {"+1", std::nullopt, std::nullopt},
      {"1 2", std::nullopt, std::nullopt},
      {"OVER", std::nullopt, std::nullopt},
      {"\t1A", std::nullopt, std::nullopt},  // only spaces are blanks
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseHex16(c.text), c.hex16) << '"' << c.text << '"';
    EXPECT_EQ(ParseHex32(c.text), c.hex32) << '"' << c.text << '"';
  }
}

TEST(ParseDec, SignedWholeNumbersThatFit) {
  struct Case {
    std::string text;
    std::optional<std::int16_t> dec16;
    std::optional<std::int32_t> dec32;
  };
  const std::vector<Case> cases = {
      {"0", 0, 0},
      {" 12 ", 12, 12},
      {"+5", 5, 5},
      {"-0", 0, 0},
      {"007", 7, 7},
      {"32767", 32767, 32767},
      {"-32768", -32768, -32768},
      {"32768", std::nullopt, 32768},
      {"-32769", std::nullopt, -32769},
      {"2147483647", std::nullopt, 2147483647},
      {"-2147483648", std::nullopt, -2147483647 - 1},
      {"2147483648", std::nullopt, std::nullopt},
      {"99999999999999999999999", std::nullopt, std::nullopt},  // no wrap-around
      {"1.5", std::nullopt, std::nullopt},  // a fraction is no whole number
      {"", std::nullopt, std::nullopt},
      {"-", std::nullopt, std::nullopt},
      {"+-1", std::nullopt, std::nullopt},
      {"- 1", std::nullopt, std::nullopt},
      {"1e3", std::nullopt, std::nullopt},
      {"FF", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseDec16(c.text), c.dec16) << '"' << c.text << '"';
    EXPECT_EQ(ParseDec32(c.text), c.dec32) << '"' << c.text << '"';
  }
}

TEST(FieldChecks, NumericAndHexadecimal) {
  struct Case {
    std::string text;
    bool numeric;
    bool hexadecimal;
  };
  const std::vector<Case> cases = {
      {"12", true, true},
      {" 0064 ", true, true},
      {"-3.5", true, false},
      {"+0", true, false},
      {".5", true, false},
      {"5.", true, false},
      {"FF", false, true},
      {"dddd", false, true},
      {"123456789ABCDEF0123", false, true},  // hexadecimal has no length limit
      {"", false, false},
      {"  ", false, false},
      {".", false, false},
      {"-", false, false},
      {"1.2.3", false, false},
      {"1 2", false, false},
      {"1e3", false, true},
      {"&HFF", false, false},
      {"OVER", false, false},
      {"\xE9", false, false},  // Latin-1 bytes are plain non-digits
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsNumeric(c.text), c.numeric) << '"' << c.text << '"';
    EXPECT_EQ(IsHexadecimal(c.text), c.hexadecimal) << '"' << c.text << '"';
  }
}

TEST(TextFields, TrimPadAndCut) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\tx\xE9 "), "\tx\xE9");  // spaces only; bytes kept as they are

  struct Case {
    std::string text;
    std::size_t width;
    std::string padded;
    std::string cut;
  };
  const std::vector<Case> cases = {
      {"CO", 3, "CO ", "CO"},
      {"H2S", 3, "H2S", "H2S"},
      {"LONG", 3, "LON", "LON"},
      {"", 3, "   ", ""},
      {"abc", 0, "", ""},
      {"a\xE9", 2, "a\xE9", "a\xE9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PadText(c.text, c.width), c.padded) << '"' << c.text << '"';
    EXPECT_EQ(CutText(c.text, c.width), c.cut) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace kv
