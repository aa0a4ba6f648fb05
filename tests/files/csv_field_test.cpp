#include "files/csv_field.h"

#include <gtest/gtest.h>

#include <string>

namespace kv::csv {
namespace {

struct FieldCase {
  const char* name;
  std::string text;
  Formulas formulas;
  std::string field;
};

void PrintTo(const FieldCase& c, std::ostream* out) { *out << c.name; }

class CsvFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvFieldTest, QuotesOnlyWhatWouldSplitTheLine) {
  EXPECT_EQ(CsvField(GetParam().text, GetParam().formulas), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CsvFieldTest,
    ::testing::Values(FieldCase{"Plain", "KV-7", Formulas::Keep, "KV-7"},
                      FieldCase{"Comma", "a,b", Formulas::Keep, "\"a,b\""},
                      FieldCase{"QuoteDoubled", "say \"hi\"", Formulas::Keep, "\"say \"\"hi\"\"\""},
                      FieldCase{"LineEnd", "a\nb", Formulas::Keep, "\"a\nb\""},
                      FieldCase{"NegativeNumberKept", "-12", Formulas::Keep, "-12"},
                      FieldCase{"FormulaGuarded", "=SUM(A1)", Formulas::Guard, "'=SUM(A1)"},
                      FieldCase{"SignGuarded", "-12", Formulas::Guard, "'-12"},
                      FieldCase{"GuardedThenQuoted", "=1,2", Formulas::Guard, "\"'=1,2\""},
                      FieldCase{"CarriageReturnFirst", "\rx", Formulas::Guard, "\"'\rx\""},
                      FieldCase{"EmptyUntouched", "", Formulas::Guard, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::csv
