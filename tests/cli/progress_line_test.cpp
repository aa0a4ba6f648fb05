// The progress bar's text: fill, counts and time left.
#include <gtest/gtest.h>

#include "cli/progress_line.h"

namespace kv::cli {
namespace {

struct BarCase {
  int done;
  int total;
  int secondsLeft;
  const char* text;
};

class ProgressBarText : public testing::TestWithParam<BarCase> {};

TEST_P(ProgressBarText, ShowsFillCountsAndTimeLeft) {
  const BarCase& c = GetParam();
  EXPECT_EQ(ProgressLine::BarText("Reading", c.done, c.total, c.secondsLeft), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressBarText,
    testing::Values(
        BarCase{0, 200, -1, "Reading [........................] 0/200"},
        BarCase{50, 200, 30, "Reading [######..................] 50/200  30 s left"},
        BarCase{200, 200, 0, "Reading [########################] 200/200  0 s left"},
        // A count beyond the total (never expected) does not overrun the bar.
        BarCase{250, 200, -1, "Reading [########################] 250/200"},
        BarCase{3, 0, -1, "Reading [........................] 3/0"}));

}  // namespace
}  // namespace kv::cli
