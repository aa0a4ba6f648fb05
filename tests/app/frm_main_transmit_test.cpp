// Transmit, Store and Power OFF of the window against the simulated
// instrument: what the review lists, what the instrument then holds, and
// what the pane says when the instrument stores a setting wrongly or the
// user cancels.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableWidgetItem>
#include <set>
#include <string>

#include "app/grid_editor.h"
#include "app/settings_grid.h"
#include "app/upload_dialog.h"
#include "files/kvd_reader.h"
#include "model/instrument_settings.h"
#include "window_on_sim.h"

namespace kv {
namespace {

constexpr int kAlarmWarningCol = 4;
constexpr int kCoRow = 4;          // channel 3 in the alarm-level grid
constexpr int kCo2Row = 5;         // channel 4 in the gas-name grid
constexpr int kBacklightRow = 14;  // "Other Setting"

// The settings whose values differ between two records, as "Name(index)".
std::set<std::string> DifferingSettings(const clsInstrument& a, const clsInstrument& b) {
  std::set<std::string> differing;
  for (const SettingInfo& s : AllSettings()) {
    for (int i = 0; i < s.count; ++i) {
      if (!(s.get(a, i) == s.get(b, i))) {
        differing.insert(std::string(s.name) + "(" + std::to_string(i) + ")");
      }
    }
  }
  return differing;
}

class WindowTransmit : public test::WindowOnSim {
 protected:
  std::string StateOut() const { return dataDir_.filePath(QStringLiteral("after.kvd")).toStdString(); }

  void StartRecording(QStringList extra = {}) {
    QStringList arguments{QStringLiteral("--state-out"), QString::fromStdString(StateOut())};
    arguments += extra;
    ASSERT_NO_FATAL_FAILURE(Start(arguments));
  }

  SettingsGrid& Grid(const char* name) {
    return *window_->findChild<SettingsGrid*>(QString::fromLatin1(name));
  }

  void Enter(const char* grid, int row, int col, const char* text) {
    const rules::EditCheck check = EnterText(Grid(grid), row, col, QString::fromLatin1(text));
    ASSERT_TRUE(check.accepted) << grid << " " << row << "," << col << ": " << check.reason;
  }

  // The three edits: a gas name, the CO warning, the backlight time.
  void EditThree() {
    ASSERT_NO_FATAL_FAILURE(Enter("vfgGasName", kCo2Row, 1, "CO3"));
    ASSERT_NO_FATAL_FAILURE(Enter("vfgAlarmLevels", kCoRow, kAlarmWarningCol, "20"));
    ASSERT_NO_FATAL_FAILURE(Enter("vfgDatas", kBacklightRow, 1, "10"));
  }

  static clsInstrument FromFile(const std::string& path) {
    clsInstrument record;
    EXPECT_TRUE(ReadMaintenanceFile(record, path).complete) << path;
    return record;
  }

  // The instrument as the Get's backup keeps it.
  clsInstrument AsRead() const { return FromFile(Backup(0).string()); }

  // Stops the simulator and reads the settings it kept.
  clsInstrument SimulatorState() {
    window_.reset();
    EXPECT_EQ(sim_->Stop(), 0);
    return FromFile(StateOut());
  }
};

TEST_F(WindowTransmit, WritesExactlyTheEditedSettingsAndVerifiesThem) {
  ASSERT_NO_FATAL_FAILURE(StartRecording());
  RunGet();
  const clsInstrument before = AsRead();
  EXPECT_EQ(window_->statusBar()->currentMessage(),
            QStringLiteral("Backup written: ") + QString::fromStdString(Backup(0).string()));
  // Transmit is usable after a Get, without a chosen file.
  EXPECT_TRUE(window_->findChild<QPushButton*>(QStringLiteral("cmdSend"))->isEnabled());
  ASSERT_NO_FATAL_FAILURE(EditThree());
  dialogs_.reviews = {true};
  Click("cmdSend");

  ASSERT_EQ(dialogs_.reviewed.size(), 1u);
  std::vector<std::string> listed;
  for (const ReviewLine& line : dialogs_.reviewed[0]) {
    listed.push_back((line.name + ": " + line.oldValue + " -> " + line.newValue).toStdString());
  }
  // In write order.
  EXPECT_EQ(listed, (std::vector<std::string>{"LCD Backlight Time(0-255sec): 5 -> 10",
                                              "CO warning level: 25 ppm -> 20 ppm",
                                              "CO2 name: CO2 -> CO3"}));
  const QStringList lines = PaneLines();
  EXPECT_TRUE(lines.contains(QStringLiteral("KORVIN Upload Complete.")));
  EXPECT_EQ(LastPaneLine(), "Verified: the instrument holds every setting as transmitted.");
  EXPECT_EQ(LastLineColour(), QColor(0, 192, 0));

  EXPECT_EQ(DifferingSettings(before, SimulatorState()),
            (std::set<std::string>{"GasName(4)", "Warning(3)", "LcdBackLight(0)"}));
}

TEST_F(WindowTransmit, VerificationNamesTheSettingStoredWrongly) {
  ASSERT_NO_FATAL_FAILURE(StartRecording({QStringLiteral("--store-wrong"), QStringLiteral("XT")}));
  RunGet();
  ASSERT_NO_FATAL_FAILURE(EditThree());
  dialogs_.reviews = {true};
  Click("cmdSend");
  EXPECT_EQ(LastPaneLine(),
            "Not as transmitted: LCD Backlight Time(0-255sec) was sent as 10, the instrument holds 11.");
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
}

TEST_F(WindowTransmit, AnInvalidUserListCellStopsTransmitBeforeAnythingIsWritten) {
  ASSERT_NO_FATAL_FAILURE(StartRecording());
  RunGet();
  const clsInstrument before = AsRead();
  ASSERT_NO_FATAL_FAILURE(EditThree());
  Grid("vfgUser").MarkInvalid(2, 1, QStringLiteral("no \",\" in a name"));
  window_->findChild<QPushButton*>(QStringLiteral("cmdSend"))->click();
  ASSERT_FALSE(dialogs_.calls.empty());
  EXPECT_EQ(dialogs_.calls.back().kind, "show");
  EXPECT_EQ(dialogs_.calls.back().text, "Improper data found  ( User List )");
  EXPECT_TRUE(dialogs_.reviewed.empty());
  EXPECT_EQ(DifferingSettings(before, SimulatorState()), std::set<std::string>{});
}

TEST_F(WindowTransmit, CancelEndsTheWriteAtOnceAndNamesWhatWasTaken) {
  // The second write line (the CO warning, after the backlight time) is never answered.
  ASSERT_NO_FATAL_FAILURE(StartRecording({QStringLiteral("--drop"), QStringLiteral("203")}));
  RunGet();
  ASSERT_NO_FATAL_FAILURE(EditThree());
  window_->SetVerifyAfterTransmit(false);
  dialogs_.reviews = {true};
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  window_->findChild<QPushButton*>(QStringLiteral("cmdSend"))->click();
  Pass(500);  // the second line is waiting for its answer
  const long long cancelledAt = sim_->NowMs();
  window_->UploadDialog()->CancelButton()->click();
  ASSERT_TRUE(WaitFor([&] { return !finished.isEmpty(); }, 2000));
  EXPECT_LT(sim_->NowMs() - cancelledAt, 1000);
  const QStringList lines = PaneLines();
  EXPECT_TRUE(lines.contains(QStringLiteral("KORVIN Upload Fail.")));
  EXPECT_TRUE(lines.contains(QStringLiteral(
      "The instrument acknowledged before it stopped: LCD Backlight Time(0-255sec) (XT,W)")))
      << lines.join(QLatin1Char('\n')).toStdString();
  // The edits stay for another Transmit.
  EXPECT_EQ(window_->EditInstrument().LcdBackLight(), 10);
  EXPECT_TRUE(window_->EditInstrument().Change_LcdBackLight());
}

TEST_F(WindowTransmit, StoreWritesTheFlaggedEditsOverWhatWasRead) {
  ASSERT_NO_FATAL_FAILURE(StartRecording());
  RunGet();
  const clsInstrument before = AsRead();
  ASSERT_NO_FATAL_FAILURE(EditThree());
  const QString stored = dataDir_.filePath(QStringLiteral("stored.kvd"));
  dialogs_.files = {stored};
  window_->findChild<QPushButton*>(QStringLiteral("cmdStore"))->click();
  EXPECT_EQ(dialogs_.calls.back().text, "Stored.");
  EXPECT_EQ(DifferingSettings(before, FromFile(stored.toStdString())),
            (std::set<std::string>{"GasName(4)", "Warning(3)", "LcdBackLight(0)"}));
}

TEST_F(WindowTransmit, PowerOffAnsweredNoDoesNothing) {
  ASSERT_NO_FATAL_FAILURE(StartRecording());
  const int paneLines = static_cast<int>(PaneLines().size());
  dialogs_.answers = {false};
  window_->findChild<QPushButton*>(QStringLiteral("cmdPowerOff"))->click();
  EXPECT_EQ(dialogs_.calls.back().text, "POWER OFF ?");
  EXPECT_EQ(PaneLines().size(), paneLines);
  EXPECT_TRUE(window_->findChild<QPushButton*>(QStringLiteral("cmdEnd"))->isEnabled());
  EXPECT_EQ(window_->Link().State(), LinkState::Connected);
}

TEST_F(WindowTransmit, PowerOffReturnsToStartAndConnectsAgain) {
  // The simulator stays silent after a power-off until it is switched on.
  ASSERT_NO_FATAL_FAILURE(StartRecording({QStringLiteral("--power-on-after"), QStringLiteral("2")}));
  RunGet();
  dialogs_.answers = {true};
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  window_->findChild<QPushButton*>(QStringLiteral("cmdPowerOff"))->click();
  EXPECT_FALSE(window_->findChild<QPushButton*>(QStringLiteral("cmdEnd"))->isEnabled())
      << "no exit while the power-off runs";
  ASSERT_TRUE(WaitFor([&] { return !finished.isEmpty(); }, 20000));
  EXPECT_TRUE(PaneLines().contains(QStringLiteral("POWER OFF ")));
  EXPECT_TRUE(window_->findChild<QPushButton*>(QStringLiteral("cmdEnd"))->isEnabled());
  EXPECT_TRUE(window_->findChild<QLineEdit*>(QStringLiteral("txtPath"))->text().isEmpty());
  EXPECT_TRUE(WaitFor(
      [this] { return window_->Link().State() == LinkState::Connected; }, 10000));
}

TEST_F(WindowTransmit, AFailedPowerOffEnablesExitAgain) {
  // The power-off command (the reply after the probe's) is never answered,
  // its resends neither.
  ASSERT_NO_FATAL_FAILURE(StartRecording({QStringLiteral("--drop"), QStringLiteral("2"),
                                          QStringLiteral("--drop"), QStringLiteral("3"),
                                          QStringLiteral("--drop"), QStringLiteral("4"),
                                          QStringLiteral("--drop"), QStringLiteral("5")}));
  window_->Link().SetTimeout(1);
  dialogs_.answers = {true};
  Click("cmdPowerOff");
  EXPECT_EQ(LastPaneLine(), "The instrument did not take the power-off command.");
  EXPECT_TRUE(window_->findChild<QPushButton*>(QStringLiteral("cmdEnd"))->isEnabled());
}

}  // namespace
}  // namespace kv
