// The window against the simulated instrument: a real serial transport on
// kvsim's pseudo-terminal, the real read transaction and the 100 ms ticker.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <memory>

#include "app/demo_simulator.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/settings_grid.h"
#include "app/upload_dialog.h"
#include "files/backup_name.h"
#include "files/kvd_reader.h"
#include "model/instrument_settings.h"
#include "qtedge/qt_serial_transport.h"
#include "test_doubles.h"
#include "window_on_kvsim.h"

namespace kv {
namespace {

using test::WindowOnKvsim;

TEST_F(WindowOnKvsim, GetFillsTheGridsAndWritesDatedBackups) {
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

TEST_F(WindowOnKvsim, AnInstrumentFallingSilentEndsTheReadAsFailed) {
  ASSERT_NO_FATAL_FAILURE(Start(kSilentFromTheNinthCommand));
  window_->Link().SetTimeout(1);  // keeps the four waits short
  RunGet();
  EXPECT_EQ(LastPaneLine(), "KORVIN Instrument Information Download Failed.");
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
  EXPECT_FALSE(std::filesystem::exists(Backup(0)));
  EXPECT_TRUE(window_->findChild<QPushButton*>(QStringLiteral("cmdGet"))->isEnabled());
}

TEST_F(WindowOnKvsim, CancelEndsAReadAtOnceEvenWhenNothingArrives) {
  ASSERT_NO_FATAL_FAILURE(Start(kSilentFromTheNinthCommand));
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  window_->findChild<QPushButton*>(QStringLiteral("cmdGet"))->click();
  frmUpload* dialog = window_->UploadDialog();
  ASSERT_TRUE(QTest::qWaitFor([dialog] { return dialog->ProgressBar()->value() >= 8; }, 10000));
  QTest::qWait(300);  // the ninth command is waiting for its answer
  QElapsedTimer clock;
  clock.start();
  dialog->CancelButton()->click();
  ASSERT_TRUE(finished.wait(2000));
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_EQ(LastPaneLine(), "Cominucation Canceled.");
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
  EXPECT_FALSE(std::filesystem::exists(Backup(0)));
}

}  // namespace
}  // namespace kv
