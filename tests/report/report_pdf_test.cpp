// The report drawn as a PDF and read back with poppler's pdftotext and pdfinfo.
#include "report/report_pdf.h"

#include <gtest/gtest.h>

#include "report_test_support.h"
#include "rules/edit_check.h"
#include "rules/settings_view.h"
#include "rules/settings_view_parts.h"
#include "support/sample_record.h"
#include "support/temp_folder.h"

namespace kv::report {
namespace {

using test::PdfInfo;
using test::PdfText;

const DateTime kReportDate{2026, 3, 14, 9, 30, 0};

clsInstrument KnownRecord() {
  clsInstrument record = testsupport::SampleRecord();
  record.StoreSerialNo("KV7-000123");
  return record;
}

std::string WrittenReport(const testsupport::TempFolder& folder, const clsInstrument& record,
                          PaperSize paper = PaperSize::A4) {
  const std::string path = folder.File("report.pdf");
  const PdfWriteResult written =
      WriteReportPdf(BuildReportContent(record, kReportDate), paper, path);
  EXPECT_TRUE(written.ok) << written.error;
  return path;
}

TEST(ReportPdfTest, ShowsTheSerialEveryGasAndEveryAlarmLevelAsTheWindowDisplaysThem) {
  const testsupport::TempFolder folder;
  const clsInstrument record = KnownRecord();
  const std::string text = PdfText(WrittenReport(folder, record));
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.find("KV7-000123"), std::string::npos);
  EXPECT_NE(text.find("2026/03/14 09:30:00"), std::string::npos);
  // The Alarm Levels tab's own cells are the reference.
  for (const ViewEntry& row : view::AlarmLevelEntries(record)) {
    for (const ViewCell& cell : row.cells) {
      if (cell.caption != "Gas" && cell.caption != "Warning" && cell.caption != "Alarm" &&
          cell.caption != "STEL" && cell.caption != "TWA") {
        continue;
      }
      const std::string shown(rules::Trim(cell.text));
      if (shown.empty()) continue;
      // The row's caption and the value on one line of the table.
      bool found = false;
      for (std::size_t at = text.find(row.label); at != std::string::npos && !found;
           at = text.find(row.label, at + 1)) {
        const std::string line = text.substr(at, text.find('\n', at) - at);
        found = line.find(" " + shown + " ") != std::string::npos ||
                line.ends_with(" " + shown);
      }
      EXPECT_TRUE(found) << row.label << " " << cell.caption << " '" << shown << "'";
    }
  }
  EXPECT_EQ(text.find("\u2026"), std::string::npos) << "a column too narrow for its text:\n" << text;
  for (const char* heading : {"Technician:", "Date:", "Page 1 of"}) {
    EXPECT_NE(text.find(heading), std::string::npos) << heading;
  }
}

struct PaperCase {
  PaperSize paper;
  const char* pageSize;  // as pdfinfo prints it
};

class ReportPaperTest : public ::testing::TestWithParam<PaperCase> {};

TEST_P(ReportPaperTest, PagesHaveThePaperSize) {
  const testsupport::TempFolder folder;
  const std::string pdf = WrittenReport(folder, KnownRecord(), GetParam().paper);
  EXPECT_EQ(PdfInfo(pdf, "Page size"), GetParam().pageSize);
}

INSTANTIATE_TEST_SUITE_P(Papers, ReportPaperTest,
                         ::testing::Values(PaperCase{PaperSize::A4, "595 x 842 pts (A4)"},
                                           PaperCase{PaperSize::Letter, "612 x 792 pts (letter)"}));

TEST(ReportPdfTest, LongTablesContinueOnTheNextPageWithNoRowLost) {
  clsInstrument record = KnownRecord();
  for (int i = 0; i < clsInstrument::kXS; ++i) {
    ASSERT_TRUE(record.SetXS_(i, "SITE-" + std::to_string(i + 1)));
  }
  const testsupport::TempFolder folder;
  const std::string pdf = WrittenReport(folder, record);
  const int pages = std::stoi(PdfInfo(pdf, "Pages"));
  ASSERT_GE(pages, 3);
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("Stations (continued)"), std::string::npos);
  for (int i = 1; i <= 128; ++i) {
    EXPECT_TRUE(test::HasWord(text, "SITE-" + std::to_string(i))) << i;
  }
  for (int page = 1; page <= pages; ++page) {
    const std::string number = "Page " + std::to_string(page) + " of " + std::to_string(pages);
    EXPECT_NE(text.find(number), std::string::npos) << number;
  }
}

TEST(ReportPdfTest, Latin1TextKeepsItsCharacters) {
  clsInstrument record = KnownRecord();
  ASSERT_TRUE(record.SetXS_(0, "M\xDCNCHEN S\xFC" "D"));  // Latin-1 bytes
  const testsupport::TempFolder folder;
  EXPECT_NE(PdfText(WrittenReport(folder, record)).find("MÜNCHEN SüD"), std::string::npos);
}

TEST(ReportPdfTest, ReplacesAnEarlierReportWholeAndLeavesNoTemporaryFile) {
  const testsupport::TempFolder folder;
  testsupport::WriteBytes(folder.File("report.pdf"), std::string(100000, 'x'));
  const std::string pdf = WrittenReport(folder, KnownRecord());
  EXPECT_EQ(testsupport::ReadBytes(pdf).substr(0, 5), "%PDF-");
  EXPECT_NE(testsupport::ReadBytes(pdf).find("%%EOF"), std::string::npos);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"report.pdf"});
}

TEST(ReportPdfTest, AFolderThatCannotBeWrittenLeavesNoFileAndSaysWhy) {
  const testsupport::TempFolder folder;
  const std::string path = folder.File("missing/report.pdf");
  const PdfWriteResult written =
      WriteReportPdf(BuildReportContent(KnownRecord(), kReportDate), PaperSize::A4, path);
  EXPECT_FALSE(written.ok);
  EXPECT_FALSE(written.error.empty());
  EXPECT_TRUE(folder.Entries().empty());
}

TEST(ReportPdfTest, PaperSizeNames) {
  EXPECT_EQ(ParsePaperSize("a4"), PaperSize::A4);
  EXPECT_EQ(ParsePaperSize("Letter"), PaperSize::Letter);
  EXPECT_EQ(ParsePaperSize("legal"), std::nullopt);
  EXPECT_EQ(ParsePaperSize(""), std::nullopt);
}

}  // namespace
}  // namespace kv::report
