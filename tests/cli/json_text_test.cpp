// JSON texts of kvmaint's --json output: escapes, Latin-1 to UTF-8, typed values.
#include <gtest/gtest.h>

#include <limits>

#include "cli/json_text.h"

namespace kv::cli {
namespace {

struct StringCase {
  std::string latin1;
  std::string json;
};

class JsonStringTest : public testing::TestWithParam<StringCase> {};

TEST_P(JsonStringTest, QuotesEscapesAndEncodesAsUtf8) {
  EXPECT_EQ(JsonString(GetParam().latin1), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JsonStringTest,
    testing::Values(StringCase{"CO ", "\"CO \""}, StringCase{"a\"b\\c", "\"a\\\"b\\\\c\""},
                    StringCase{"tab\there\n", "\"tab\\u0009here\\u000a\""},
                    StringCase{"\xE9t\xE9", "\"\xC3\xA9t\xC3\xA9\""},
                    StringCase{"\xFF", "\"\xC3\xBF\""}, StringCase{"", "\"\""}));

struct ValueCase {
  ViewValue value;
  std::string json;
};

class JsonValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(JsonValueTest, WritesTheTypedValue) { EXPECT_EQ(JsonValue(GetParam().value), GetParam().json); }

INSTANTIATE_TEST_SUITE_P(
    Values, JsonValueTest,
    testing::Values(ValueCase{std::monostate{}, "null"}, ValueCase{true, "true"},
                    ValueCase{false, "false"}, ValueCase{std::int64_t{-101}, "-101"},
                    // A float in its shortest form, not widened to 0.100000001.
                    ValueCase{0.1f, "0.1"}, ValueCase{12.5f, "12.5"},
                    ValueCase{std::numeric_limits<float>::quiet_NaN(), "null"},
                    ValueCase{std::numeric_limits<float>::infinity(), "null"},
                    ValueCase{std::string("H2S"), "\"H2S\""}));

}  // namespace
}  // namespace kv::cli
