// The calibration certificate of a span recorded in the history: one page
// naming the instrument, each channel's results, the technician the
// configuration names and the next due date.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kvmaint/harness/inprocess_support.h"
#include "report/report_test_support.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;

class CertificateOnSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    ASSERT_FALSE(sim.Device().empty()) << sim.Error();
  }
  ProgramResult Run(std::vector<std::string> args) {
    args.insert(args.end(), {"--port", sim.Device(), "--data-dir", Data()});
    return Kvmaint(args);
  }
  std::string Data() const { return dir.File("data"); }
  // The id of the latest event of `operation` in the history of `serial`.
  std::string LatestEventId(const std::string& serial, const std::string& operation) {
    const ProgramResult events = Kvmaint({"history", "--serial", serial, "--json", "--data-dir", Data()});
    const std::optional<Json> json = ParseJson(events.out);
    std::string id;
    if (!json) return id;
    for (const Json& event : json->items) {
      if (event["operation"].text == operation) id = std::to_string(static_cast<long long>(event["id"].number));
    }
    return id;
  }

  TempDir dir;
  Simulator sim;
  const std::string serial = "KV24-0007713";
};

TEST_F(CertificateOnSimTest, NamesTheInstrumentResultsTechnicianAndNextDue) {
  ASSERT_EQ(Run({"get"}).exitCode, 0);
  WriteBytes(dir.File("data/KVMaintenance.ini"), "[Fleet]\r\nTechnician=J. Doe\r\n");
  ASSERT_EQ(Run({"zero", "--yes"}).exitCode, 0);
  ASSERT_EQ(Run({"span", "--yes"}).exitCode, 0);
  const std::string span = LatestEventId(serial, "span");
  ASSERT_FALSE(span.empty());
  const std::string pdf = dir.File("certificate.pdf");
  const ProgramResult written =
      Kvmaint({"report", "--calibration", span, "--pdf", pdf, "--data-dir", Data()});
  ASSERT_EQ(written.exitCode, 0) << written.err;
  EXPECT_EQ(test::PdfInfo(pdf, "Pages"), "1");
  const std::string text = test::PdfText(pdf);
  // pdftotext gives the "fi" of "Certificate" as its ligature.
  for (const std::string& shown : {std::string("Calibration Certi"), serial, std::string("J. Doe"),
                                  std::string("CH4"), std::string("passed"), std::string("Next Due")}) {
    EXPECT_THAT(text, HasSubstr(shown));
  }
  // The instrument's limit of 90 days from today.
  const DateTime due = AddSeconds(sim.Time().Now(), 90LL * 24 * 60 * 60);
  EXPECT_THAT(text, HasSubstr(FormatGeneralDate(due).substr(0, 10)));
}

TEST_F(CertificateOnSimTest, RefusesAnEventThatIsNoCalibration) {
  ASSERT_EQ(Run({"get"}).exitCode, 0);
  const std::string read = LatestEventId(serial, "read");
  ASSERT_FALSE(read.empty());
  const ProgramResult refused =
      Kvmaint({"report", "--calibration", read, "--pdf", dir.File("c.pdf"), "--data-dir", Data()});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_THAT(refused.err, HasSubstr("not a calibration"));
}

}  // namespace
}  // namespace kv::inproc
