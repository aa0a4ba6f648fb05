// The Get action when its results cannot be kept: a backup folder that cannot
// be written stops the read before it starts, and a session log that cannot
// be written says so once while the read goes on.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <fstream>

#include "known_record.h"
#include "main_window_fixture.h"

namespace kv {
namespace {

using test::MainWindowFixture;

Task<bool> InstantRead(uclTzif&, clsInstrument& record) {
  record = test::KnownRecord();
  co_return true;
}

class GetWithoutStorage : public MainWindowFixture {};

TEST_F(GetWithoutStorage, AnUnusableBackupFolderStopsTheReadBeforeItStarts) {
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

TEST_F(GetWithoutStorage, ASessionLogThatCannotBeWrittenIsReportedOnce) {
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
