// The report of a simulated instrument names it and carries each channel's
// calibration as the instrument reported it, with "OVERDUE" once its limit
// has passed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kvmaint/harness/inprocess_support.h"
#include "report/report_test_support.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class ReportOnSimTest : public ::testing::Test {
 protected:
  explicit ReportOnSimTest(std::vector<std::string> options = {}) : sim(std::move(options)) {}
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    ASSERT_FALSE(sim.Device().empty()) << sim.Error();
  }
  ProgramResult Run(std::vector<std::string> args) {
    args.insert(args.end(), {"--port", sim.Device(), "--data-dir", dir.File("data")});
    return Kvmaint(args);
  }
  ProgramResult Report(const std::string& serial, const std::string& pdf) {
    return Kvmaint({"report", "--serial", serial, "--pdf", pdf, "--data-dir", dir.File("data")});
  }
  // The calibration dates cal-history printed, one per fitted channel.
  std::vector<std::string> CalibrationDates() {
    const ProgramResult read = Run({"cal-history", "--json"});
    EXPECT_EQ(read.exitCode, 0) << read.err;
    std::vector<std::string> dates;
    const std::optional<Json> json = ParseJson(read.out);
    if (!json) return dates;
    for (const Json& channel : (*json)["channels"].items) {
      // The report gives the day.
      if (!channel["date"].text.empty()) dates.push_back(channel["date"].text.substr(0, 10));
    }
    return dates;
  }

  TempDir dir;
  Simulator sim;
  const std::string serial = "KV24-0007713";  // the simulator's own
};

class OverdueSimTest : public ReportOnSimTest {
 protected:
  OverdueSimTest() : ReportOnSimTest({"--calibrated-days-ago", "400"}) {}
};

TEST_F(OverdueSimTest, ReportCarriesEachChannelsCalibrationAndOverdue) {
  ASSERT_EQ(Run({"get"}).exitCode, 0);
  const std::vector<std::string> dates = CalibrationDates();
  ASSERT_FALSE(dates.empty());
  const std::string pdf = dir.File("report.pdf");
  const ProgramResult report = Report(serial, pdf);
  ASSERT_EQ(report.exitCode, 0) << report.err;
  const std::string text = test::PdfText(pdf);
  EXPECT_THAT(text, HasSubstr(serial));
  for (const std::string& date : dates) EXPECT_THAT(text, HasSubstr(date));
  EXPECT_THAT(text, HasSubstr("OVERDUE"));
}

TEST_F(ReportOnSimTest, ACalibrationWithinTheLimitIsNotOverdue) {
  ASSERT_EQ(Run({"get"}).exitCode, 0);
  ASSERT_EQ(Run({"span", "--yes"}).exitCode, 0);
  const std::vector<std::string> dates = CalibrationDates();
  ASSERT_FALSE(dates.empty());
  const std::string pdf = dir.File("report.pdf");
  ASSERT_EQ(Report(serial, pdf).exitCode, 0);
  const std::string text = test::PdfText(pdf);
  for (const std::string& date : dates) EXPECT_THAT(text, HasSubstr(date));
  EXPECT_THAT(text, Not(HasSubstr("OVERDUE")));
}

// Before the instrument's calibration history was read, the history's zero
// and span results still date the channels.
TEST_F(ReportOnSimTest, ASpanInTheHistoryDatesTheChannels) {
  ASSERT_EQ(Run({"get"}).exitCode, 0);
  ASSERT_EQ(Run({"span", "--yes"}).exitCode, 0);
  const std::string pdf = dir.File("report.pdf");
  ASSERT_EQ(Report(serial, pdf).exitCode, 0);
  const std::string text = test::PdfText(pdf);
  EXPECT_THAT(text, HasSubstr(FormatGeneralDate(sim.Time().Now()).substr(0, 10)));
  EXPECT_THAT(text, Not(HasSubstr("not read")));
}

// A backup keeps no serial number; the history's read that holds it names the instrument.
TEST_F(ReportOnSimTest, TheReportOfABackupNamesTheInstrumentItWasReadFrom) {
  const ProgramResult got = Run({"get"});
  ASSERT_EQ(got.exitCode, 0) << got.err;
  const std::string pdf = dir.File("report.pdf");
  const ProgramResult report =
      Kvmaint({"report", testsupport::Lines(got.out).at(0), "--pdf", pdf, "--data-dir", dir.File("data")});
  ASSERT_EQ(report.exitCode, 0) << report.err;
  EXPECT_TRUE(test::HasWord(test::PdfText(pdf), serial));
}

}  // namespace
}  // namespace kv::inproc
