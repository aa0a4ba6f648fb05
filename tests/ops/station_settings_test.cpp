// What a station roll-out writes to each instrument and what it leaves alone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "files/kvd_writer.h"
#include "ops/station_files.h"
#include "ops/station_settings.h"
#include "model/instrument_settings.h"
#include "support/sample_record.h"
#include "support/temp_folder.h"

namespace kv {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::vector<std::string> Names(const std::vector<SettingDifference>& differences) {
  std::vector<std::string> names;
  for (const SettingDifference& d : differences) names.push_back(d.name);
  return names;
}

// A misspelt name would make a per-instrument setting silently distributed.
TEST(PerInstrumentSettingsTest, EveryEntryNamesAWrittenSettingOfTheRecord) {
  for (const PerInstrumentSetting& entry : PerInstrumentSettings()) {
    const auto settings = AllSettings();
    const auto found = std::find_if(settings.begin(), settings.end(),
                                    [&entry](const SettingInfo& s) { return s.name == entry.setting; });
    ASSERT_NE(found, settings.end()) << entry.setting;
    EXPECT_NE(found->changed, nullptr) << entry.setting << " is never written anyway";
  }
}

// The file was made from another unit: its identity and calibration differ
// from the instrument's, and one distributed setting differs too.
TEST(PlanRollOutTest, WritesOnlyDistributedDifferencesAndKeepsTheUnitsOwnValues) {
  const clsInstrument held = testsupport::SampleRecord();
  clsInstrument source = held;
  source.SetSerialNo("OTHER UNIT");
  source.SetDummySerial("OTHER MAKE");
  [[maybe_unused]] bool set = source.SetSI_(3, held.SI_(3) + 9);
  set = source.SetHH_(0, held.HH_(0) + 1);
  set = source.SetFL_(0, held.FL_(0) + 100);
  source.SetLcdContrast(held.LcdContrast() == 4 ? 5 : 4);

  const RollOut plan = PlanRollOut(MaintenanceFileText(source), held);
  EXPECT_THAT(Names(plan.differences), ElementsAre("LcdContrast"));
  EXPECT_EQ(plan.wanted.LcdContrast(), source.LcdContrast());
  EXPECT_EQ(plan.wanted.SerialNo(), held.SerialNo());
  EXPECT_EQ(plan.wanted.SI_(3), held.SI_(3));
  EXPECT_EQ(plan.wanted.FL_(0), held.FL_(0));
  EXPECT_FALSE(plan.wanted.Change_SerialNo());
  EXPECT_FALSE(plan.wanted.Change_SI_(3));
}

TEST(PlanRollOutTest, AFileEqualToTheInstrumentWritesNothing) {
  const clsInstrument held = testsupport::SampleRecord();
  EXPECT_THAT(PlanRollOut(MaintenanceFileText(held), held).differences, IsEmpty());
}

TEST(LayoutMismatchTest, NamesEveryChannelWhoseSensorDiffers) {
  struct Case {
    int channel;
    int type;
    std::string expected;
  };
  const clsInstrument instrument = testsupport::SampleRecord();
  const std::vector<Case> cases = {
      {-1, 0, ""},
      {4, instrument.GasType(4) == 16 ? 4 : 16, "channel 5 file "},
      {0, instrument.GasType(0) == 5 ? 4 : 5, "channel 1 file "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.channel);
    clsInstrument file = instrument;
    if (c.channel >= 0) {
      [[maybe_unused]] const bool set = file.SetGasType(c.channel, static_cast<Integer>(c.type));
    }
    const std::string mismatch = LayoutMismatch(file, instrument);
    if (c.expected.empty()) {
      EXPECT_EQ(mismatch, "");
    } else {
      EXPECT_THAT(mismatch, HasSubstr("channel layout differs: " + c.expected));
    }
  }
}

TEST(StationReportTest, FieldsWithSeparatorsAreQuotedAndEveryOutcomeIsOneRow) {
  StationOutcome failed;
  failed.time = "2026-03-05 14:07:09";
  failed.serial = "KV-1";
  failed.settingsWritten = 3;
  failed.settingsToWrite = 12;
  failed.verification = "not verified";
  failed.result = StationPhase::Failed;
  failed.failedStep = "transmit";
  failed.message = "transmit failed at GN,W: \"plus\" 3 of 12";
  StationOutcome done = failed;
  done.serial = "KV-2";
  done.result = StationPhase::Done;
  done.failedStep.clear();
  done.message.clear();
  const std::string csv = StationReportCsv({failed, done});
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);
  EXPECT_THAT(csv, HasSubstr(",failed,transmit,\"transmit failed at GN,W: \"\"plus\"\" 3 of 12\","));
  EXPECT_THAT(OutcomeLine(failed), HasSubstr("KV-1  written 3/12  not verified  failed at transmit: transmit"));
  EXPECT_THAT(OutcomeLine(failed), EndsWith(kTakeFailedInstrumentOff)) << "the technician is told what to do";
  EXPECT_EQ(StationSummary({failed, done}), "2 instruments: 1 done, 1 failed, 0 skipped");
}

// Cells a spreadsheet would run as a formula are kept as text.
struct FormulaCell {
  const char* name;
  const char* message;
  const char* cell;
};

class StationReportFormulaTest : public ::testing::TestWithParam<FormulaCell> {};

TEST_P(StationReportFormulaTest, StartsWithASingleQuote) {
  StationOutcome outcome;
  outcome.serial = "KV-1";
  outcome.message = GetParam().message;
  EXPECT_THAT(StationReportCsv({outcome}), HasSubstr(GetParam().cell));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, StationReportFormulaTest,
    ::testing::Values(FormulaCell{"Equals", "=1+2", ",'=1+2,"}, FormulaCell{"Plus", "+CMD", ",'+CMD,"},
                      FormulaCell{"Minus", "-3", ",'-3,"}, FormulaCell{"At", "@SUM(A1)", ",'@SUM(A1),"},
                      FormulaCell{"Tab", "\tx", ",'\tx,"}, FormulaCell{"CarriageReturn", "\rx", ",\"'\rx\","},
                      FormulaCell{"Plain", "plain text", ",plain text,"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StationReportFileTest, TwoRunsOfOneSecondClaimTwoFilesAndRowsArriveAtOnce) {
  testsupport::TempFolder folder{"kv_station_report"};
  const std::string path = StationReportPath(folder.Path(), DateTime{2026, 3, 5, 14, 7, 9});
  StationReportFile first;
  StationReportFile second;
  ASSERT_TRUE(first.Claim(path)) << first.Error();
  ASSERT_TRUE(second.Claim(path)) << second.Error();
  EXPECT_EQ(first.Path(), path);
  EXPECT_EQ(second.Path(), folder.File("station-20260305-140709_1.csv"));
  StationOutcome outcome;
  outcome.serial = "KV-9";
  ASSERT_TRUE(first.Append(outcome));
  // Read while the file is still open: the row is on disk already.
  const std::string written = testsupport::ReadBytes(first.Path());
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 2);
  EXPECT_THAT(written, HasSubstr(",KV-9,"));
  const std::string header = testsupport::ReadBytes(second.Path());
  EXPECT_EQ(std::count(header.begin(), header.end(), '\n'), 1);
}

}  // namespace
}  // namespace kv
