// The initialisation composed of three transactions: the complete upload, the
// clock, the data clearing, one after the other.
#include <gtest/gtest.h>

#include "link/transaction_fakes.h"
#include "link/transactions.h"

namespace kv::test {
namespace {

class SetInitValueTest : public TransactionTest {
 protected:
  SetInitValueTest() {
    AcceptEverything(h.link);
    // A blank record made one the record check lets through whole: the
    // initialisation writes every setting.
    (void)record.SetRatio(0, 50000.0f);
    SetRatioChannels(record);
    for (int entry = 0; entry < 5; ++entry) (void)record.SetLO_fc(entry, 1);
    for (int zero = 0; zero < 3; ++zero) (void)record.SetSI_(zero, 500);
    (void)record.SetSI_(3, 600);
    UnitsAsReported(record);
  }

  std::size_t IndexOf(std::string_view prefix) const {
    const auto it =
        std::find_if(Commands().begin(), Commands().end(),
                     [prefix](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    return static_cast<std::size_t>(it - Commands().begin());
  }

  clsInstrument record;
};

TEST_F(SetInitValueTest, WritesEverythingThenSetsTheClockThenClearsTheData) {
  h.instrument.AnswerBy(InTurn("BP,R,", {"BP,A,", "BP,R,"}));
  EXPECT_EQ(Run(SetInitValue(h.link, record)), std::optional<bool>(true));

  // The complete upload: every table entry goes out, the version line last.
  EXPECT_EQ(std::count_if(Commands().begin(), Commands().end(),
                          [](const std::string& c) { return c.rfind("XS,W,", 0) == 0; }),
            128);
  const std::size_t clock = IndexOf("HC,W,");
  ASSERT_LT(clock, Commands().size());
  EXPECT_EQ(Commands()[clock].size(), std::string("HC,W,YYMMDDhhnnss").size());
  EXPECT_LT(IndexOf("XV,W,"), clock);
  EXPECT_LT(IndexOf("ET,W,"), clock);
  EXPECT_EQ(Commands()[clock - 1].rfind("BN,W,", 0), 0u);  // the last group of the upload
  const std::vector<std::string> tail(Commands().begin() + static_cast<long>(clock) + 1,
                                      Commands().end());
  EXPECT_EQ(tail, (std::vector<std::string>{"XC,E,", "BP,R,", "BP,R,"}));
  EXPECT_EQ(IndexOf("UD,W,"), Commands().size());

  EXPECT_FALSE(record.Change_Warn(6));
  EXPECT_FALSE(record.Change_XS_(127));
  EXPECT_TRUE(Logged("---Instrument Upload Finished---"));
  EXPECT_TRUE(Logged("--- Data Remove Finished---."));
}

TEST_F(SetInitValueTest, AClockTheInstrumentRefusesLeavesTheDataAlone) {
  h.instrument.AnswerBy(SilentTo("HC,W,"));
  EXPECT_EQ(Run(SetInitValue(h.link, record)), std::optional<bool>(false));
  EXPECT_LT(IndexOf("HC,W,"), Commands().size());
  EXPECT_EQ(IndexOf("XC,E,"), Commands().size());
}

}  // namespace
}  // namespace kv::test
