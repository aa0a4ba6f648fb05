#include "rules/edit_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kv::rules {
namespace {

TEST(ParseNumber, ReadsPlainDecimalsOnly) {
  struct Case {
    const char* text;
    bool parsed;
    double value;
    int decimals;
  };
  const Case cases[] = {
      {"12", true, 12, 0},
      {" 12.50 ", true, 12.5, 2},
      {"-3", true, -3, 0},
      {"+0.49", true, 0.49, 2},
      {".5", true, 0.5, 1},
      {"5.", true, 5, 0},
      {"", false, 0, 0},
      {"-", false, 0, 0},
      {".", false, 0, 0},
      {"1e3", false, 0, 0},
      {"12,5", false, 0, 0},
      {"1.2.3", false, 0, 0},
      {"abc", false, 0, 0},
      {"0x10", false, 0, 0},
      {"inf", false, 0, 0},
      {"1 2", false, 0, 0},
      {"1234567890123456", false, 0, 0},  // more digits than stay exact
  };
  for (const Case& c : cases) {
    const std::optional<ParsedNumber> number = ParseNumber(c.text);
    ASSERT_EQ(number.has_value(), c.parsed) << '"' << c.text << '"';
    if (!number) continue;
    EXPECT_EQ(number->value, c.value) << c.text;
    EXPECT_EQ(number->decimals, c.decimals) << c.text;
  }
}

TEST(NumberText, ShowsFixedPlacesWithoutLocale) {
  EXPECT_EQ(NumberText(12.5, 2), "12.50");
  EXPECT_EQ(NumberText(0.05, 2), "0.05");
  EXPECT_EQ(NumberText(2.5, 0), "3");
  EXPECT_EQ(NumberText(-0.004, 2), "0.00");
  EXPECT_EQ(NumberText(-1.25, 1), "-1.3");
  EXPECT_EQ(NumberText(65535, 0), "65535");  // a number, not the raw no-data code
  // Values no instrument holds, from a damaged file, are shown rather than undefined.
  EXPECT_EQ(NumberText(std::numeric_limits<double>::infinity(), 2), "inf");
  EXPECT_EQ(NumberText(-std::numeric_limits<double>::infinity(), 0), "-inf");
  EXPECT_EQ(NumberText(std::nan(""), 1), "nan");
  EXPECT_EQ(NumberText(1e20, 0), "100000000000000000000");
}

TEST(CheckChoice, MatchesTrimmedIgnoringCaseAndShowsTheItem) {
  const ChoiceItems items = SplitChoices("CH4|HEX|H2 |ABC");
  const EditCheck h2 = CheckChoice(" h2", items);
  ASSERT_TRUE(h2.accepted);
  EXPECT_EQ(h2.text, "H2 ");
  EXPECT_EQ(h2.number, 2);
  const EditCheck refused = CheckChoice("CO", items);
  EXPECT_FALSE(refused.accepted);
  EXPECT_EQ(refused.reason, "one of: CH4, HEX, H2, ABC");
  EXPECT_EQ(JoinChoices(items), "CH4|HEX|H2 |ABC");
}

}  // namespace
}  // namespace kv::rules
