// The one check after a write: every setting sent must be held as sent,
// named as the window names it; what was not sent is not judged.
#include "ops/verification.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/sample_record.h"

namespace kv::ops {
namespace {

using ::testing::ElementsAreArray;

struct VerifyCase {
  const char* name;
  std::function<void(clsInstrument&)> changeReadBack;
  VerifyState state;
  std::vector<std::string> named;  // "name: sent -> held"
};

class VerifyTable : public ::testing::TestWithParam<VerifyCase> {};

TEST_P(VerifyTable, JudgesOnlyWhatWasSent) {
  const clsInstrument before = testsupport::SampleRecord();
  clsInstrument sent = before;
  sent.ClearChangeFlags();
  sent.SetLcdBackLight(7);
  [[maybe_unused]] bool set = sent.SetWarning(3, 30);
  const std::vector<PendingChange> written = PendingChanges(before, sent);
  ASSERT_EQ(written.size(), 2U);

  clsInstrument readBack = sent;
  readBack.ClearChangeFlags();
  GetParam().changeReadBack(readBack);
  const Verification verification = Verify(written, readBack, before, sent);
  EXPECT_EQ(verification.state, GetParam().state);
  std::vector<std::string> named;
  for (const Mismatch& m : verification.mismatches) named.push_back(m.name + ": " + m.sent + " -> " + m.held);
  EXPECT_THAT(named, ElementsAreArray(GetParam().named));
}

INSTANTIATE_TEST_SUITE_P(
    ReadBacks, VerifyTable,
    ::testing::Values(
        VerifyCase{"HeldAsSent", [](clsInstrument&) {}, VerifyState::Verified, {}},
        VerifyCase{"WireRoundingIsNoDifference",
                   [](clsInstrument& r) { (void)r.SetWarning(3, r.Warning(3) + 1e-6f); },
                   VerifyState::Verified, {}},
        VerifyCase{"UnsentSettingsAreNotJudged",
                   [](clsInstrument& r) {
                     r.SetSerialNo("SOMETHING ELSE");
                     (void)r.SetSI_(0, r.SI_(0) + 1);
                   },
                   VerifyState::Verified, {}},
        VerifyCase{"AWrittenLevelHeldOtherwiseIsNamed",
                   [](clsInstrument& r) { (void)r.SetWarning(3, 40); },
                   VerifyState::Differs, {"CO warning level: 30 ppm -> 40 ppm"}},
        VerifyCase{"EveryWrittenSettingHeldOtherwise",
                   [](clsInstrument& r) {
                     r.SetLcdBackLight(3);
                     (void)r.SetWarning(3, 1);
                   },
                   VerifyState::Differs,
                   {"LCD Backlight Time(0-255sec): 7 -> 3", "CO warning level: 30 ppm -> 1 ppm"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VerificationTextTest, SaysHowManyAndWhich) {
  Verification v;
  EXPECT_EQ(v.Text(), "not verified");
  v.state = VerifyState::ReadFailed;
  EXPECT_EQ(v.Text(), "not verified: the read-back failed");
  v.state = VerifyState::Differs;
  v.mismatches = {{"Warning (CO)", "30", "40"}, {"User 3", "A", "B"}};
  EXPECT_EQ(v.Text(), "2 settings not as transmitted: Warning (CO), User 3");
}

}  // namespace
}  // namespace kv::ops
