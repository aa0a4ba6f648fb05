#include "protocol/format_gas_value.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(FormatGasValue, ShowsSpecialCodesAndNumbersAsTheGridsDo) {
  struct Case {
    float value;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {12.5f, 1, "12.5"},        {12.25f, 7, "12"},          {12.25f, -1, "12"},
      {12.5f, 0, "13"},          {-12.5f, 0, "-13"},         {0.15f, 1, "0.2"},
      {3.0f, 3, "3.000"},        {50100.0f, 0, "50100"},     {-0.04f, 1, "0.0"},
      {-130.0f, 2, "Fail(Air)"}, {65535.0f, 0, "-----"},     {65535.0f, 3, "-----"},
      {-101.0f, 2, "-----"},     {-118.0f, 1, "?????"},      {65278.0f, 0, "?????"},
      {-121.0f, 0, "*****"},     {56797.0f, 2, "*****"},     {-107.0f, 0, "OVER"},
      {-180.0f, 1, "AIR"},       {-50.0f, 0, "-50"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatGasValue(c.value, c.decimals), c.text) << c.value << " with " << c.decimals;
  }
}

}  // namespace
}  // namespace kv
