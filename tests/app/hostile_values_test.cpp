// Values the instrument must never receive, typed into the real grid editors
// of a window on the simulated instrument: each is refused where it is typed
// (with the reason the rules give), or, where the cell alone cannot judge it
// (an empty PID factor, a value that breaks its row), stopped by the record
// check in front of Transmit. Either way the instrument receives no write line.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <set>

#include "app/settings_grid.h"
#include "app/window_grid_rules.h"
#include "model/instrument_settings.h"
#include "rules/pid_rules.h"
#include "rules/table_rules.h"
#include "grid_keyboard.h"
#include "window_on_recording_sim.h"

namespace kv {
namespace {

constexpr int kCoRow = 4;  // channel 3 in the alarm-level grid
constexpr int kUser7Row = 6;
constexpr int kPidEntry1Row = 1;
constexpr int kConversion1Row = 1;

// What becomes of the typed text.
enum class Outcome {
  RefusedInEditor,  // the editor stays open and shows `reason`
  RecordCheck,      // the cell takes it, Transmit's record check lists `reason` and stops
};

struct Step {
  const char* grid;
  int row, col;
  const char* typed;
};

struct HostileCase {
  const char* name;
  std::vector<Step> before;  // accepted edits that set the row up
  Step hostile;
  Outcome outcome;
  const char* reason;
};

std::set<std::string> DifferingSettings(const clsInstrument& a, const clsInstrument& b) {
  std::set<std::string> differing;
  for (const SettingInfo& s : AllSettings()) {
    for (int i = 0; i < s.count; ++i) {
      if (!(s.get(a, i) == s.get(b, i))) differing.insert(std::string(s.name) + "(" + std::to_string(i) + ")");
    }
  }
  return differing;
}

class HostileValues : public test::RecordingWindowOnSim, public ::testing::WithParamInterface<HostileCase> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(RunTransaction([this] { window_->cmdGet_Click(); }));
    ASSERT_TRUE(WriteLines().empty());
    // The progress dialog of the Get had the keyboard.
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  SettingsGrid& Grid(const char* name) {
    auto* grid = window_->findChild<SettingsGrid*>(QString::fromLatin1(name));
    EXPECT_NE(grid, nullptr) << name;
    return *grid;
  }

  // Types `step` and presses Return; an empty text is typed by clearing the editor.
  void Enter(const Step& step) {
    SettingsGrid& grid = Grid(step.grid);
    ASSERT_NO_FATAL_FAILURE(test::FocusCell(grid, step.row, step.col));
    const QString typed = QString::fromUtf8(step.typed);
    if (typed.isEmpty()) {
      test::PressKey(Qt::Key_F2);
      QWidget* editor = test::OpenEditor(grid);
      ASSERT_NE(editor, nullptr);
      if (auto* line = qobject_cast<QLineEdit*>(editor)) line->clear();
      if (auto* combo = qobject_cast<QComboBox*>(editor)) combo->setEditText({});
    } else {
      test::TypeKeys(typed);
    }
    test::PressKey(Qt::Key_Return);
  }

  // Transmit, answering a review if one comes; the transaction may not start.
  void Transmit() {
    dialogs_.reviews = {true};
    window_->findChild<QPushButton*>(QStringLiteral("cmdSend"))->click();
    for (int i = 0; i < 300 && window_->Busy(); ++i) Tick();
    EXPECT_FALSE(window_->Busy());
  }
};

TEST_P(HostileValues, NeverReachTheInstrument) {
  const HostileCase& c = GetParam();
  for (const Step& step : c.before) {
    ASSERT_NO_FATAL_FAILURE(Enter(step));
    ASSERT_EQ(test::OpenEditor(Grid(step.grid)), nullptr) << step.typed << " was refused";
  }
  window_->StoreGrids();
  const clsInstrument before = window_->EditInstrument();
  SettingsGrid& grid = Grid(c.hostile.grid);
  const QString shownBefore = grid.Text(c.hostile.row, c.hostile.col);

  ASSERT_NO_FATAL_FAILURE(Enter(c.hostile));
  QWidget* editor = test::OpenEditor(grid);
  switch (c.outcome) {
    case Outcome::RefusedInEditor:
      ASSERT_NE(editor, nullptr) << "accepted";
      EXPECT_EQ(editor->toolTip().toStdString(), c.reason);
      test::PressKey(Qt::Key_Escape);
      EXPECT_EQ(grid.Text(c.hostile.row, c.hostile.col), shownBefore);
      break;
    case Outcome::RecordCheck:
      ASSERT_EQ(editor, nullptr) << "refused: " << editor->toolTip().toStdString();
      break;
  }

  Transmit();
  EXPECT_EQ(WriteLines(), std::vector<std::string>{}) << "the instrument received a write";
  EXPECT_TRUE(dialogs_.reviewed.empty()) << "a review was offered";
  const QString reason = QString::fromUtf8(c.reason);
  switch (c.outcome) {
    case Outcome::RefusedInEditor:
      EXPECT_EQ(DifferingSettings(before, window_->EditInstrument()), std::set<std::string>{});
      EXPECT_EQ(PaneLines().back(), "Nothing has changed: nothing was transmitted.");
      break;
    case Outcome::RecordCheck:
      ASSERT_FALSE(dialogs_.calls.empty());
      EXPECT_EQ(dialogs_.calls.back().kind, "show");
      EXPECT_TRUE(dialogs_.calls.back().text.startsWith(
          "Nothing was transmitted: the instrument would not take these settings:"));
      EXPECT_TRUE(dialogs_.calls.back().text.contains(reason)) << dialogs_.calls.back().text.toStdString();
      EXPECT_TRUE(PaneLines().contains(reason)) << PaneLines().join('\n').toStdString();
      break;
  }
}


constexpr const char* kLevelReason = "accepts 0 to 500 or *****, ?????, -----";
constexpr const char* kNameReason =
    "accepts up to 16 characters: printable ASCII except {, }, comma and semicolon";

HostileCase Level(const char* name, const char* typed) {
  return {name, {}, {"vfgAlarmLevels", kCoRow, kAlarmWarning, typed}, Outcome::RefusedInEditor, kLevelReason};
}
HostileCase UserName(const char* name, const char* typed, const char* reason = kNameReason) {
  return {name, {}, {"vfgUser", kUser7Row, 1, typed}, Outcome::RefusedInEditor, reason};
}
Step PidHigh(int col, const char* typed) { return {"vfgPID0", kPidEntry1Row, col, typed}; }
Step Conversion(int col, const char* typed) { return {"vfgUserConv", kConversion1Row, col, typed}; }

INSTANTIATE_TEST_SUITE_P(
    Typed, HostileValues,
    ::testing::Values(
        Level("co_warning_normal", "NORMAL"), Level("co_warning_alarm", "ALARM"),
        Level("co_warning_over", "OVER"), Level("co_warning_negative", "-104"),
        UserName("user_name_with_comma", "J,DOE"), UserName("user_name_with_semicolon", "semi;colon"),
        // A tab cannot be typed into a name: Tab takes the entry and leaves the grid.
        UserName("user_name_of_17_characters", "ABCDEFGHIJKLMNOPQ"),
        UserName("user_name_outside_latin1", "\u20acuro", "holds U+20AC, a character outside Latin-1"),
        // The PID editor leaves an empty entry to its row; the window marks no row, the
        // grid's write-back keeps it as 0, and the record check stops that.
        HostileCase{"pid_factor_empty", {}, PidHigh(rules::kPidFactor, ""), Outcome::RecordCheck,
                    "PID 1 High Range Factor \"0.00\": accepts 1.00 to 1.24, held as a whole number (1)"},
        HostileCase{"pid_factor_stars", {}, PidHigh(rules::kPidFactor, "*****"),
                    Outcome::RefusedInEditor, "needs a value"},
        HostileCase{"pid_factor_fraction", {}, PidHigh(rules::kPidFactor, "1.24"),
                    Outcome::RefusedInEditor,
                    "accepts 1.00 to 1.24, held as a whole number (1); 1.24 would be stored as 1.00"},
        HostileCase{"conversion_factor_fraction", {}, Conversion(rules::kConvFactor, "1.25"),
                    Outcome::RefusedInEditor,
                    "accepts 0.01 to 25.00, held as a whole number (1 to 25); 1.25 would be stored as 1.00"},
        HostileCase{"conversion_level_off_its_step", {}, Conversion(rules::kConvWarn, "150"),
                    Outcome::RefusedInEditor,
                    "accepts only what it keeps: 150 becomes 200: levels go in steps of 100"},
        HostileCase{"pid_full_scale_without_its_point", {}, PidHigh(rules::kPidFullScale, "500"),
                    Outcome::RecordCheck,
                    "PID 1 High Range Point \"1/1\": accepts 1/10 for this FullScale"},
        HostileCase{"conversion_ratio_below_its_levels",
                    {Conversion(rules::kConvWarn, "200"), Conversion(rules::kConvAlarm, "400")},
                    Conversion(rules::kConvRatio, "100"), Outcome::RecordCheck,
                    "Conversion levels 31 1st \"200\": accepts 0 to 100"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
