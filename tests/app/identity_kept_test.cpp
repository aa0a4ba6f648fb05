// A file keeps no serial number: the window names the instrument of a file
// the history knows by its content, and the report of it or of a history
// snapshot names that instrument; a file the history does not know is said
// to hold no serial number, and its report is refused with the reason.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>

#include "app/history_window.h"
#include "files/kvd_writer.h"
#include "history/history_location.h"
#include "historydb/sql_store.h"
#include "main_window_fixture.h"
#include "report/report_test_support.h"
#include "support/sample_record.h"
#include "support/temp_folder.h"

namespace kv::test {
namespace {

clsInstrument OtherSettings() {
  clsInstrument record = testsupport::SampleRecord();
  EXPECT_TRUE(record.SetWarning(3, 45));
  return record;
}

struct FileCase {
  const char* name;
  std::string content;
  const char* identityShown;  // in the status bar's file line
  bool reportNamesInstrument;
};

class IdentityKeptTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    history::StoreLocation location;
    location.kind = history::StoreKind::SQLite;
    location.path = (DataFolder() / "History.sqlite").string();
    history::SqlStore store(location);
    history::Event read;
    read.serial = "KV-0042";
    read.model = "KORVIN";
    read.time = "2026-03-01 09:00:00";
    read.user = "tech";
    read.operation = history::kOpRead;
    read.result = "ok";
    read.snapshot = MaintenanceFileText(testsupport::SampleRecord());
    ASSERT_TRUE(store.Record(read).recorded);
    ASSERT_TRUE(Load());
    window_->show();
  }

  QString FileIdentity() {
    const auto* label = window_->statusBar()->findChild<QLabel*>(QStringLiteral("lblFileIdentity"));
    return label != nullptr ? label->text() : QString();
  }

  // File > Report into report.pdf: its text, "" when none was written.
  std::string Report() {
    const std::string pdf = folder_.File("report.pdf");
    dialogs_.files = {QString::fromStdString(pdf)};
    Find<QAction>("mnuReport")->trigger();
    return QFileInfo::exists(QString::fromStdString(pdf)) ? PdfText(pdf) : std::string();
  }

  testsupport::TempFolder folder_;
};

class SelectedFileIdentityTest : public IdentityKeptTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(SelectedFileIdentityTest, NamesTheInstrumentWhereTheHistoryKnowsTheFile) {
  const FileCase& c = GetParam();
  const std::string file = folder_.File("selected.kvd");
  testsupport::WriteBytes(file, c.content);
  dialogs_.files = {QString::fromStdString(file)};
  window_->cmdLoad_Click();
  EXPECT_TRUE(FileIdentity().contains(QLatin1String(c.identityShown))) << FileIdentity().toStdString();
  dialogs_.calls.clear();
  const std::string text = Report();
  if (c.reportNamesInstrument) {
    EXPECT_TRUE(HasWord(text, "KV-0042")) << text;
    EXPECT_EQ(dialogs_.calls.back().kind, "save");
  } else {
    EXPECT_EQ(text, "");
    ASSERT_FALSE(dialogs_.calls.empty());
    EXPECT_EQ(dialogs_.calls.back().icon, Dialogs::Icon::Critical);
    EXPECT_TRUE(dialogs_.calls.back().text.contains(QStringLiteral("no serial number")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Window, SelectedFileIdentityTest,
    ::testing::Values(FileCase{"TheBackupOfARead", MaintenanceFileText(testsupport::SampleRecord()),
                               "File: KORVIN S/N KV-0042, read 2026-03-01 09:00:00", true},
                      FileCase{"AFileTheHistoryDoesNotKnow", MaintenanceFileText(OtherSettings()),
                               "File: the file does not hold the serial number", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IdentityKeptTest, TheReportOfASnapshotLoadedFromTheHistoryWindowNamesItsInstrument) {
  window_->mnuHistory_Click();
  auto* history = window_->findChild<frmHistory*>();
  ASSERT_NE(history, nullptr);
  history->findChild<QPushButton*>(QStringLiteral("cmdLoadIntoGrids"))->click();
  EXPECT_EQ(FileIdentity(), "File: KORVIN S/N KV-0042, history of KV-0042 at 2026-03-01 09:00:00");
  const std::string text = Report();
  EXPECT_TRUE(HasWord(text, "KV-0042")) << text;
  EXPECT_NE(text.find("KORVIN"), std::string::npos);
}

}  // namespace
}  // namespace kv::test
