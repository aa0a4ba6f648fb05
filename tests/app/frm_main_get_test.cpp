// The Get action: backups, grids, the information pane and the progress
// dialog, over scripted read transactions.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <fstream>
#include <sstream>

#include "app/settings_grid.h"
#include "app/upload_dialog.h"
#include "files/backup_name.h"
#include "support/sample_record.h"
#include "main_window_fixture.h"

namespace kv {
namespace {

using test::MainWindowFixture;

// A read whose every reply came at once.
Task<bool> InstantRead(uclTzif&, clsInstrument& record) {
  record = testsupport::GridRecord();
  co_return true;
}

// A read of one command that waits for the port like the real one.
Task<bool> OneCommandRead(uclTzif& link, clsInstrument& record) {
  ReplySink sink(&record);
  const LinkStatus end = co_await link.SendAndWait(sink, "VP,R,", LinkStatus::ReadWaiting);
  co_return end == LinkStatus::Complete;
}

std::string Contents(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class GetAction : public MainWindowFixture {
 protected:
  std::filesystem::path Backup(int number) const {
    return DataFolder() / "Backup" / BackupFileName(clock_.Now(), number);
  }
};

TEST_F(GetAction, ReadFillsTheGridsAndKeepsADatedBackup) {
  ASSERT_NO_FATAL_FAILURE(Start(InstantRead));
  RunGet();
  const QStringList lines = PaneLines();
  ASSERT_GE(lines.size(), 3);
  EXPECT_EQ(lines[lines.size() - 2], "KORVIN Instrument Information Download.");
  EXPECT_EQ(lines.back(), "KORVIN Instrument Information Download Complete.");
  EXPECT_EQ(LastLineColour(), QColor(0, 192, 0));

  EXPECT_TRUE(std::filesystem::exists(Backup(0)));
  EXPECT_FALSE(std::filesystem::exists(Backup(1)));
  EXPECT_EQ(Find<SettingsGrid>("vfgGasName")->Text(1, 1), "CH4");
  EXPECT_EQ(Find<SettingsGrid>("vfgPID0")->Text(1, 3), "1000.0");
  EXPECT_EQ(window_->EditInstrument().GasName(0), "CH4");
  EXPECT_FALSE(window_->EditInstrument().Change_GasName(0)) << "a fresh read carries no edits";
  EXPECT_NE(SessionLog().find("---Instrument Download Finished---. Date = 2026/03/07 10:00:01"
                              "[Time = 00:00:00]"),
            std::string::npos)
      << SessionLog();

  // The dialog is gone and the actions are back.
  EXPECT_FALSE(window_->UploadDialog()->isVisible());
  EXPECT_TRUE(Find<QPushButton>("cmdGet")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("cmdEnd")->isEnabled());

  RunGet();
  EXPECT_TRUE(std::filesystem::exists(Backup(1))) << "the second read of the day";
  EXPECT_EQ(Contents(Backup(0)), Contents(Backup(1)));
}

TEST_F(GetAction, AllNamesOfTheDayTakenOverwritesNothing) {
  std::filesystem::create_directories(DataFolder() / "Backup");
  for (int number = 0; number < kBackupNamesPerDay; ++number) {
    std::ofstream(Backup(number)) << "old backup";
  }
  ASSERT_NO_FATAL_FAILURE(Start(InstantRead));
  RunGet();
  const QString refused = QString::fromStdString(
      "No backup written: all 100 backup names of today are taken in " +
      (DataFolder() / "Backup").string() + ". Move old backups elsewhere.");
  EXPECT_EQ(ColourOfLine(refused), QColor(255, 0, 0)) << Pane().toPlainText().toStdString();
  for (int number = 0; number < kBackupNamesPerDay; ++number) {
    ASSERT_EQ(Contents(Backup(number)), "old backup") << number;
  }
  // What was read is still shown.
  EXPECT_EQ(Find<SettingsGrid>("vfgGasName")->Text(1, 1), "CH4");
  EXPECT_EQ(PaneLines().back(), "KORVIN Instrument Information Download Complete.");
}

TEST_F(GetAction, AFailedReadSaysSoInRedAndKeepsTheGrids) {
  struct Case {
    const char* what;
    const char* reply;  // to the read command
  };
  // A silent instrument, and one that answers with an unfinished frame.
  for (const Case c : {Case{"silent", ""}, Case{"garbled", "\x02" "00VP,R,12"}}) {
    SCOPED_TRACE(c.what);
    transport_.answer = [reply = std::string(c.reply)](const std::string&) { return reply; };
    ASSERT_NO_FATAL_FAILURE(Start(OneCommandRead));
    RunGet(400);
    EXPECT_EQ(PaneLines().back(), "KORVIN Instrument Information Download Failed.");
    EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
    EXPECT_FALSE(std::filesystem::exists(DataFolder() / "Backup" / "20260307.kvd"));
    EXPECT_EQ(Find<SettingsGrid>("vfgGasName")->Text(1, 1), "");
    EXPECT_NE(SessionLog().find("---Instrument Download Fail Line---"), std::string::npos);
    EXPECT_TRUE(Find<QPushButton>("cmdGet")->isEnabled());
    window_.reset();
  }
}

TEST_F(GetAction, WhileReadingTheWindowStaysUsableButRefusesActions) {
  ASSERT_NO_FATAL_FAILURE(Start(OneCommandRead));
  window_->cmdGet_Click();
  ASSERT_TRUE(window_->Busy());
  frmUpload* dialog = window_->UploadDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(dialog->windowTitle(), "Download");
  EXPECT_EQ(dialog->Message(), "Now Downloading");
  for (const char* name : {"cmdGet", "cmdLoad", "cmdSend", "cmdPowerOff", "cmdStore", "cmdEnd"}) {
    EXPECT_FALSE(Find<QPushButton>(name)->isEnabled()) << name;
  }
  EXPECT_FALSE(window_->close()) << "closing is refused while reading";
  EXPECT_TRUE(dialogs_.calls.empty()) << "without asking";

  window_->Link().Events().Progress(57, 200);
  EXPECT_EQ(dialog->ProgressBar()->text(), "57/200");
  window_->Link().Events().DumpMessage("Block 3");
  EXPECT_EQ(dialog->Message(), "Block 3");

  // Cancel ends the wait on the next tick although nothing arrives.
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  dialog->CancelButton()->click();
  EXPECT_TRUE(window_->Link().Cancel());
  Tick(1);
  ASSERT_TRUE(finished.wait(1000));
  EXPECT_EQ(PaneLines().back(), "Cominucation Canceled.");
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
  EXPECT_NE(SessionLog().find("---Process to Canceled---. Date = 2026/03/07"), std::string::npos);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_FALSE(window_->Busy());
  EXPECT_TRUE(Find<QPushButton>("cmdEnd")->isEnabled());
}

TEST_F(GetAction, LinkLostDuringAReadKeepsTheButtonsOffAfterwards) {
  ASSERT_NO_FATAL_FAILURE(Start(OneCommandRead));
  window_->cmdGet_Click();
  window_->Link().Events().LinkLost();
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  window_->UploadDialog()->CancelButton()->click();
  Tick(1);
  ASSERT_TRUE(finished.wait(1000));
  EXPECT_FALSE(Find<QPushButton>("cmdGet")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>("cmdPowerOff")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("cmdEnd")->isEnabled());
}

// When the results cannot be kept: a backup folder that cannot be written
// stops the read before it starts; a session log that cannot be written says
// so once while the read goes on.
TEST_F(GetAction, AnUnusableBackupFolderStopsTheReadBeforeItStarts) {
  ASSERT_NO_FATAL_FAILURE(Start(InstantRead));
  std::ofstream(DataFolder() / "Backup") << "a file where the folder should be";
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);

  window_->cmdGet_Click();

  const QString line = PaneLines().back();
  EXPECT_TRUE(line.startsWith(QString::fromStdString("Get not started: no backup can be kept in " +
                                                     (DataFolder() / "Backup").string() +
                                                     " (cannot be created: ")))
      << line.toStdString();
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
  EXPECT_FALSE(window_->Busy());
  Tick(5);
  EXPECT_EQ(finished.count(), 0) << "no read was started";
  EXPECT_TRUE(Find<QPushButton>("cmdGet")->isEnabled());
}

TEST_F(GetAction, ASessionLogThatCannotBeWrittenIsReportedOnce) {
  ASSERT_NO_FATAL_FAILURE(Start(InstantRead));
  ASSERT_TRUE(window_->Link().Log().Open("/dev/full"));  // a full disk
  RunGet();
  RunGet();
  int reports = 0;
  for (const QString& line : PaneLines()) {
    if (!line.startsWith(QStringLiteral("The session log "))) continue;
    ++reports;
    EXPECT_TRUE(line.endsWith(QStringLiteral("(No space left on device); it ends here.")))
        << line.toStdString();
    EXPECT_EQ(ColourOfLine(line), QColor(255, 0, 0));
  }
  EXPECT_EQ(reports, 1) << Pane().toPlainText().toStdString();
  EXPECT_EQ(PaneLines().back(), "KORVIN Instrument Information Download Complete.")
      << "the read itself succeeds";
}

}  // namespace
}  // namespace kv
