// The window against the simulated instrument in process: the real read
// transaction on its line, ticked every 100 ms of virtual time.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <memory>

#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/settings_grid.h"
#include "app/upload_dialog.h"
#include "files/backup_name.h"
#include "files/kvd_reader.h"
#include "model/instrument_settings.h"
#include "test_doubles.h"
#include "window_on_sim.h"

namespace kv {
namespace {

using test::WindowOnSim;

TEST_F(WindowOnSim, GetFillsTheGridsAndWritesDatedBackups) {
  // Paced like the adapter's line, as the demo runs it.
  ASSERT_NO_FATAL_FAILURE(Start({QStringLiteral("--baud"), QStringLiteral("921600")}));
  RunGet();
  ASSERT_EQ(LastPaneLine(), "KORVIN Instrument Information Download Complete.");
  EXPECT_EQ(LastLineColour(), QColor(0, 192, 0));
  const clsInstrument& read = window_->CurInstrument();
  ASSERT_FALSE(read.GasName(0).empty());
  const auto* gasNames = window_->findChild<SettingsGrid*>(QStringLiteral("vfgGasName"));
  EXPECT_EQ(gasNames->Text(1, 1).toStdString(), read.GasName(0));
  EXPECT_EQ(window_->EditInstrument().GasName(0), read.GasName(0));
  EXPECT_EQ(window_->UploadDialog()->ProgressBar()->value(), 200);

  // The backup holds what was read.
  ASSERT_TRUE(std::filesystem::exists(Backup(0)));
  clsInstrument fromBackup;
  ASSERT_TRUE(ReadMaintenanceFile(fromBackup, Backup(0).string()).complete);
  EXPECT_EQ(fromBackup.GasName(0), read.GasName(0));
  EXPECT_EQ(fromBackup.XS_(0), read.XS_(0));

  RunGet();
  EXPECT_EQ(LastPaneLine(), "KORVIN Instrument Information Download Complete.");
  EXPECT_TRUE(std::filesystem::exists(Backup(1)));
}

// The read's ninth command is never answered, resends included.
const QStringList kSilentFromTheNinthCommand = {
    QStringLiteral("--drop"), QStringLiteral("10"), QStringLiteral("--drop"), QStringLiteral("11"),
    QStringLiteral("--drop"), QStringLiteral("12"), QStringLiteral("--drop"), QStringLiteral("13")};

TEST_F(WindowOnSim, AnInstrumentFallingSilentEndsTheReadAsFailed) {
  ASSERT_NO_FATAL_FAILURE(Start(kSilentFromTheNinthCommand));
  window_->Link().SetTimeout(1);  // keeps the four waits short
  RunGet();
  EXPECT_EQ(LastPaneLine(), "KORVIN Instrument Information Download Failed.");
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
  EXPECT_FALSE(std::filesystem::exists(Backup(0)));
  EXPECT_TRUE(window_->findChild<QPushButton*>(QStringLiteral("cmdGet"))->isEnabled());
}

TEST_F(WindowOnSim, CancelEndsAReadAtOnceEvenWhenNothingArrives) {
  ASSERT_NO_FATAL_FAILURE(Start(kSilentFromTheNinthCommand));
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  window_->findChild<QPushButton*>(QStringLiteral("cmdGet"))->click();
  frmUpload* dialog = window_->UploadDialog();
  ASSERT_TRUE(WaitFor([dialog] { return dialog->ProgressBar()->value() >= 8; }, 10000));
  Pass(300);  // the ninth command is waiting for its answer
  const long long cancelledAt = sim_->NowMs();
  dialog->CancelButton()->click();
  ASSERT_TRUE(WaitFor([&] { return !finished.isEmpty(); }, 2000));
  EXPECT_LT(sim_->NowMs() - cancelledAt, 1000);
  EXPECT_EQ(LastPaneLine(), "Cominucation Canceled.");
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
  EXPECT_FALSE(std::filesystem::exists(Backup(0)));
}

}  // namespace
}  // namespace kv
