// The save dialog gives a name typed without a suffix the suffix of its filter.
#include <gtest/gtest.h>

#include "app/dialogs.h"

namespace kv {
namespace {

struct SuffixCase {
  QString filter;
  QString suffix;
};

class SaveDialogSuffix : public ::testing::TestWithParam<SuffixCase> {};

TEST_P(SaveDialogSuffix, ComesFromTheFirstPattern) {
  EXPECT_EQ(DefaultSuffix(GetParam().filter), GetParam().suffix);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, SaveDialogSuffix,
    ::testing::Values(SuffixCase{MaintenanceFileFilter(), "kvd"},
                      SuffixCase{"Comma separated (*.csv);;All files (*.*)", "csv"},
                      SuffixCase{"PDF (*.pdf);;All files (*.*)", "pdf"},
                      SuffixCase{"All files (*.*)", ""}, SuffixCase{"", ""}));

}  // namespace
}  // namespace kv
