// What the window checks and says around its actions: the record check in
// front of Store, the file writer's refusal, Save as default on Transmit, a
// power-off the instrument did not acknowledge, cancelled save dialogs, a
// path typed again, and imported cells the table changed.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "app/grid_editor.h"
#include "app/settings_grid.h"
#include "files/kvd_writer.h"
#include "known_record.h"
#include "main_window_fixture.h"
#include "rules/pid_rules.h"
#include "rules/table_rules.h"
#include "window_on_recording_sim.h"

namespace kv {
namespace {

Task<bool> InstantRead(uclTzif&, clsInstrument& record) {
  record = test::KnownRecord();
  co_return true;
}

class WindowChecks : public test::MainWindowFixture {
 protected:
  QPushButton* Button(const char* name) { return Find<QPushButton>(name); }
  std::string FilePath(const char* name) const { return (DataFolder() / name).string(); }
};

struct CancelledSave {
  const char* name;
  std::function<void(frmMain&)> action;
  const char* said;
};

class CancelledSaveDialog : public WindowChecks, public ::testing::WithParamInterface<CancelledSave> {};

TEST_P(CancelledSaveDialog, SaysSoInThePaneAndWritesNothing) {
  ASSERT_TRUE(Load());
  window_->FillAllGrids();
  GetParam().action(*window_);  // no file scripted: the dialog is cancelled
  ASSERT_FALSE(dialogs_.calls.empty());
  EXPECT_EQ(dialogs_.calls.back().kind, "save") << "no message box after the dialog";
  ASSERT_FALSE(PaneLines().isEmpty());
  EXPECT_EQ(PaneLines().back(), GetParam().said);
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    StoreAndExport, CancelledSaveDialog,
    ::testing::Values(CancelledSave{"store", [](frmMain& w) { w.cmdStore_Click(); },
                                    "Store cancelled: no file was written."},
                      CancelledSave{"export", [](frmMain& w) { w.ExportTable(csv::CsvTable::Users); },
                                    "Export cancelled: no file was written."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowChecks, StoreShowsTheWritersRefusalAndWritesNothing) {
  ASSERT_TRUE(Load());
  // A name the instrument reported (no edit, so no record check judges it)
  // that a file line cannot carry.
  ASSERT_TRUE(window_->CurInstrument().StoreXZ_(6, "J,DOE"));
  const std::string path = FilePath("stored.kvd");
  dialogs_.files = {QString::fromStdString(path)};
  window_->cmdStore_Click();
  ASSERT_FALSE(dialogs_.calls.empty());
  const QString error = dialogs_.calls.back().text;
  EXPECT_EQ(dialogs_.calls.back().icon, Dialogs::Icon::Critical);
  EXPECT_TRUE(error.contains(QStringLiteral("a comma inside a value"))) << error.toStdString();
  ASSERT_FALSE(PaneLines().isEmpty());
  EXPECT_EQ(PaneLines().back(), error);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(WindowChecks, TheSamePathTypedAgainReloadsTheFile) {
  ASSERT_TRUE(Load());
  window_->show();
  const std::string path = FilePath("known.kvd");
  clsInstrument record = test::KnownRecord();
  ASSERT_TRUE(WriteMaintenanceFile(record, path).ok);
  auto* txtPath = Find<QLineEdit>("txtPath");
  const auto typePath = [&] {
    txtPath->setFocus();
    txtPath->selectAll();
    QTest::keyClicks(txtPath, QString::fromStdString(path));
    QTest::keyClick(txtPath, Qt::Key_Return);
  };
  typePath();
  ASSERT_EQ(window_->EditInstrument().LcdBackLight(), record.LcdBackLight());
  // The file changes on disk; the same path typed again reads it anew.
  record.SetLcdBackLight(static_cast<int16_t>(record.LcdBackLight() + 7));
  ASSERT_TRUE(WriteMaintenanceFile(record, path).ok);
  typePath();
  EXPECT_EQ(window_->EditInstrument().LcdBackLight(), record.LcdBackLight());
  EXPECT_EQ(Find<SettingsGrid>("vfgDatas")->Text(14, 1), QString::number(record.LcdBackLight()));
}

TEST_F(WindowChecks, AnUnacknowledgedPowerOffStillStartsOver) {
  ASSERT_NO_FATAL_FAILURE(Start(InstantRead));
  RunGet();
  ASSERT_EQ(window_->CurInstrument().SerialNo(), test::KnownRecord().SerialNo());
  Find<QLineEdit>("txtPath")->setText(QStringLiteral("some.kvd"));
  // The instrument switches off before it answers: RO,W is never acknowledged.
  std::vector<std::string> powerOffLines;
  transport_.answer = [&powerOffLines](const std::string& line) {
    if (line.find("RO,W,") != std::string::npos) powerOffLines.push_back(line);
    return std::string();
  };
  dialogs_.answers = {true};
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  window_->cmdPowerOff_Click();
  for (int i = 0; i < 3000 && finished.isEmpty(); ++i) {
    Tick(1);
    QCoreApplication::processEvents();
  }
  ASSERT_EQ(finished.count(), 1);
  EXPECT_FALSE(powerOffLines.empty());
  EXPECT_TRUE(PaneLines().contains(QStringLiteral("The instrument did not take the power-off command.")));
  // As after an acknowledged power-off: cleared records and path, the start buttons.
  EXPECT_EQ(window_->CurInstrument().SerialNo(), clsInstrument{}.SerialNo());
  EXPECT_EQ(window_->EditInstrument().GasName(0), clsInstrument{}.GasName(0));
  EXPECT_TRUE(Find<QLineEdit>("txtPath")->text().isEmpty());
  EXPECT_FALSE(Button("cmdSend")->isEnabled());
  EXPECT_TRUE(Button("cmdEnd")->isEnabled());
  EXPECT_TRUE(window_->Activated());
  // The port is open again and the link connects anew.
  for (int i = 0; i < 100 && window_->Link().State() != LinkState::Connected; ++i) Tick(1);
  EXPECT_EQ(window_->Link().State(), LinkState::Connected);
  EXPECT_TRUE(Button("cmdGet")->isEnabled());
}

TEST_F(WindowChecks, AnImportListsTheCellsTheTableChanged) {
  ASSERT_TRUE(Load());
  window_->FillAllGrids();
  const std::string path = FilePath("UserConversion.csv");
  std::ofstream(path, std::ios::binary) << "1,ABC,ABC LONG,1,150,400,1000,ME\r\n";
  dialogs_.files = {QString::fromStdString(path)};
  window_->ImportTable(csv::CsvTable::Conversion);
  EXPECT_TRUE(PaneLines().contains(QStringLiteral(
      "Changed on import: row 1, column 4 (1st): 150 becomes 200: levels go in steps of 100")))
      << PaneLines().join('\n').toStdString();
  EXPECT_EQ(Find<SettingsGrid>("vfgUserConv")->Text(1, rules::kConvWarn), "200");
}

// ---- on the simulated instrument ----------------------------------------------

class ChecksOnSim : public test::RecordingWindowOnSim {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(RunTransaction([this] { window_->cmdGet_Click(); }));
  }
  SettingsGrid& Grid(const char* name) {
    return *window_->findChild<SettingsGrid*>(QString::fromLatin1(name));
  }
};

TEST_F(ChecksOnSim, SaveAsDefaultAloneSendsTheStoreCommandOnTransmit) {
  window_->SetVerifyAfterTransmit(false);
  window_->findChild<QCheckBox*>(QStringLiteral("chkFactorySave"))->setChecked(true);
  dialogs_.reviews = {true};
  ASSERT_NO_FATAL_FAILURE(RunTransaction([this] { window_->cmdSend_Click(); }));
  ASSERT_EQ(dialogs_.reviewed.size(), 1u);
  ASSERT_EQ(dialogs_.reviewed[0].size(), 1u);
  EXPECT_EQ(dialogs_.reviewed[0][0].newValue, "Yes");
  const std::vector<std::string> written = WriteLines();
  ASSERT_EQ(written.size(), 2u);
  EXPECT_NE(written[0].find("XV,W,"), std::string::npos) << written[0];
  EXPECT_NE(written[1].find("UD,W,"), std::string::npos) << written[1];
  EXPECT_TRUE(PaneLines().contains(QStringLiteral("KORVIN Upload Complete.")));
}

TEST_F(ChecksOnSim, StoreChecksTheRecordItWritesAndWritesNothing) {
  // The PID cell takes a full scale its row's point does not fit.
  ASSERT_TRUE(EnterText(Grid("vfgPID0"), 1, rules::kPidFullScale, QStringLiteral("500")).accepted);
  const QString path = dataDir_.filePath(QStringLiteral("stored.kvd"));
  dialogs_.files = {path};
  window_->cmdStore_Click();
  ASSERT_FALSE(dialogs_.calls.empty());
  EXPECT_EQ(dialogs_.calls.back().icon, Dialogs::Icon::Critical);
  EXPECT_EQ(dialogs_.calls.back().text.section(QLatin1Char('\n'), 0, 1),
            "Nothing was stored: the instrument would not take these settings:\n"
            "PID 1 High Range Point \"1/1\": accepts 1/10 for this FullScale");
  EXPECT_TRUE(PaneLines().contains(
      QStringLiteral("PID 1 High Range Point \"1/1\": accepts 1/10 for this FullScale")));
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_NE(window_->CurInstrument().PIDFullScale(0, 0), 500) << "the read record is untouched";
}

}  // namespace
}  // namespace kv
