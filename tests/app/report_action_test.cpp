// File > Report... writes the PDF of the record in the grids.
#include <QAction>
#include <QFileInfo>
#include <QMenuBar>

#include "files/kvd_writer.h"
#include "main_window_fixture.h"
#include "report/report_test_support.h"
#include "support/sample_record.h"
#include "support/temp_folder.h"

namespace kv::test {
namespace {

class ReportAction : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ASSERT_TRUE(Load());
    window_->show();
    report_ = Find<QAction>("mnuReport");
    ASSERT_NE(report_, nullptr);
  }

  // Selects a maintenance file of the sample record: the grids show it.
  void SelectSampleFile() {
    const std::string kvd = folder_.File("sample.kvd");
    ASSERT_TRUE(WriteMaintenanceFile(testsupport::SampleRecord(), kvd).ok);
    dialogs_.files = {QString::fromStdString(kvd)};
    window_->cmdLoad_Click();
  }

  // Loads the sample record as the history's snapshot of instrument KV-0042.
  void LoadSnapshot() {
    ASSERT_TRUE(window_->LoadRecordText(MaintenanceFileText(testsupport::SampleRecord()),
                                        QStringLiteral("history of KV-0042"), "KV-0042"));
  }

  testsupport::TempFolder folder_;
  QAction* report_ = nullptr;
};

TEST_F(ReportAction, SitsInTheFileMenu) {
  const QMenu* file = window_->menuBar()->findChild<QMenu*>(QStringLiteral("mnuFile"));
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->actions().contains(report_));
}

TEST_F(ReportAction, WritesTheRecordInTheGridsWithTheWindowsDate) {
  LoadSnapshot();
  const std::string pdf = folder_.File("certificate.pdf");
  dialogs_.files = {QString::fromStdString(pdf)};
  report_->trigger();
  ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(pdf)));
  const std::string text = PdfText(pdf);
  for (const char* shown : {"KV-0042", "CH4", "OXY", "VOC", "MAIN GATE", "2026/03/07 10:00:00"}) {
    EXPECT_NE(text.find(shown), std::string::npos) << shown;
  }
  EXPECT_EQ(dialogs_.calls.back().kind, "save");
  EXPECT_EQ(dialogs_.calls.back().text, "PDF (*.pdf);;All files (*.*)");
}

// A maintenance data file keeps no serial number: a report of it would name
// no instrument, so none is made, and the window says why.
TEST_F(ReportAction, AFileNamingNoInstrumentIsRefused) {
  SelectSampleFile();
  dialogs_.calls.clear();
  report_->trigger();
  ASSERT_EQ(dialogs_.calls.size(), 1U);
  EXPECT_EQ(dialogs_.calls.back().icon, Dialogs::Icon::Critical);
  EXPECT_TRUE(dialogs_.calls.back().text.contains(QStringLiteral("no serial number")));
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"sample.kvd"});
}

TEST_F(ReportAction, CancellingWritesNothing) {
  LoadSnapshot();
  dialogs_.calls.clear();
  report_->trigger();  // no file scripted: the dialog is cancelled
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{});
  ASSERT_EQ(dialogs_.calls.size(), 1U);
  EXPECT_EQ(dialogs_.calls.back().kind, "save");
}

TEST_F(ReportAction, AFileThatCannotBeWrittenIsReported) {
  LoadSnapshot();
  dialogs_.files = {QString::fromStdString(folder_.File("no/such/folder/report.pdf"))};
  report_->trigger();
  ASSERT_FALSE(dialogs_.calls.empty());
  EXPECT_EQ(dialogs_.calls.back().icon, Dialogs::Icon::Critical);
  EXPECT_FALSE(dialogs_.calls.back().text.isEmpty());
}

}  // namespace
}  // namespace kv::test
