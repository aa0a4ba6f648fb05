// The window's grids driven from the keyboard, offscreen, as a technician
// without a mouse (or a screen reader) would drive them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "app/settings_grid.h"
#include "app/window_grid_rules.h"
#include "grid_keyboard.h"
#include "grid_set.h"
#include "support/sample_record.h"
#include "main_window_fixture.h"

namespace kv {
namespace {

// The known record with a catalytic sensor and an H2S channel of 100.0 ppm.
clsInstrument EditingRecord() {
  clsInstrument r = testsupport::GridRecord();
  (void)(r.SetGasType(0, 0) && r.SetGasFullScale(2, 100.0f) && r.SetGasPoint(2, 1) &&
         r.SetWarning(2, 5.0f) && r.SetAlarm(2, 10.0f));
  r.ClearChangeFlags();
  return r;
}

class GridEditing : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ASSERT_TRUE(Load());
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    window_->EditInstrument() = EditingRecord();
    window_->FillAllGrids();
  }

  SettingsGrid& Grid(const char* name) {
    auto* grid = Find<SettingsGrid>(name);
    EXPECT_NE(grid, nullptr) << name;
    return *grid;
  }

  static void Focus(SettingsGrid& grid, int row, int col) { test::FocusCell(grid, row, col); }
  static void Type(const QString& text) { test::TypeKeys(text); }
  static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    test::PressKey(key, modifiers);
  }
  static QWidget* OpenEditor(const SettingsGrid& grid) { return test::OpenEditor(grid); }
  static QString EditorText(const QWidget* editor) { return test::OpenEditorText(editor); }
};

struct RefusedCase {
  const char* name;
  const char* grid;
  int row, col;
  const char* typed;
};

class RefusedEntry : public GridEditing, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedEntry, KeepsTheEditorOpenWithTheTypedTextAndTheCellItsValue) {
  const RefusedCase& c = GetParam();
  SettingsGrid& grid = Grid(c.grid);
  const QString before = grid.Text(c.row, c.col);
  Focus(grid, c.row, c.col);
  Type(QString::fromLatin1(c.typed));
  Press(Qt::Key_Return);
  QWidget* editor = OpenEditor(grid);
  ASSERT_NE(editor, nullptr) << "a refused entry closed its editor";
  EXPECT_EQ(EditorText(editor), QString::fromLatin1(c.typed));
  EXPECT_FALSE(editor->toolTip().isEmpty()) << "the reason is shown";
  EXPECT_EQ(grid.Text(c.row, c.col), before);
  // Tab does not carry a refused entry away either; Escape gives up.
  Press(Qt::Key_Tab);
  EXPECT_NE(OpenEditor(grid), nullptr);
  Press(Qt::Key_Escape);
  EXPECT_EQ(OpenEditor(grid), nullptr);
  EXPECT_EQ(grid.Text(c.row, c.col), before);
  EXPECT_EQ(grid.State(c.row, c.col), CellState::Normal);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, RefusedEntry,
    ::testing::Values(RefusedCase{"backlight_above_255", "vfgDatas", 14, 1, "300"},
                      RefusedCase{"lower_case_gas_name", "vfgGasName", 5, 1, "nh3x"},
                      RefusedCase{"four_letter_gas_name", "vfgGasName", 5, 1, "ABCD"},
                      RefusedCase{"name_used_in_another_row", "vfgGasName", 7, 1, "CO2"},
                      RefusedCase{"me_span_above_809", "vfgME", 7, 2, "810"},
                      RefusedCase{"alarm_level_above_full_scale", "vfgAlarmLevels", 3,
                                  kAlarmAlarm, "150.0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridEditing, AnAcceptedEntryIsMarkedUntilTheNextFill) {
  SettingsGrid& grid = Grid("vfgDatas");
  Focus(grid, 14, 1);
  Type(QStringLiteral("100"));
  Press(Qt::Key_Return);
  EXPECT_EQ(OpenEditor(grid), nullptr);
  EXPECT_EQ(grid.Text(14, 1), "100");
  EXPECT_EQ(grid.State(14, 1), CellState::Edited);
  EXPECT_TRUE(grid.Index(14, 1).data(Qt::FontRole).value<QFont>().bold());
  EXPECT_EQ(grid.Background(14, 1), SettingsGrid::EditedCellColour());
  window_->FillAllGrids();
  EXPECT_EQ(grid.Text(14, 1), "30");
  EXPECT_EQ(grid.State(14, 1), CellState::Normal);
}

TEST_F(GridEditing, StoreGridsFlagsWhatTheKeyboardChanged) {
  window_->StoreGrids();
  ASSERT_EQ(test::FlaggedSettings(window_->EditInstrument()), std::set<std::string>{});
  SettingsGrid& datas = Grid("vfgDatas");
  Focus(datas, 14, 1);
  Type(QStringLiteral("100"));
  Press(Qt::Key_Return);
  SettingsGrid& levels = Grid("vfgAlarmLevels");
  Focus(levels, 3, kAlarmWarning);  // H2S, 100.0 ppm full scale
  Type(QStringLiteral("7.5"));
  Press(Qt::Key_Return);
  ASSERT_EQ(levels.Text(3, kAlarmWarning), "7.5");
  window_->StoreGrids();
  EXPECT_EQ(test::FlaggedSettings(window_->EditInstrument()),
            (std::set<std::string>{"LcdBackLight(0)", "Warning(2)"}));
  EXPECT_FLOAT_EQ(window_->EditInstrument().Warning(2), 7.5f);
  window_->ClearEditMarks();
  EXPECT_EQ(levels.State(3, kAlarmWarning), CellState::Normal);
  EXPECT_EQ(datas.State(14, 1), CellState::Normal);
}

TEST_F(GridEditing, RefusedKeysNeverReachThePassword) {
  SettingsGrid& grid = Grid("vfgDatas");
  Focus(grid, 23, 1);
  Press(Qt::Key_F2);
  QWidget* editor = OpenEditor(grid);
  ASSERT_NE(editor, nullptr);
  qobject_cast<QLineEdit*>(editor)->clear();
  Type(QStringLiteral("1a2-34"));
  EXPECT_EQ(EditorText(editor), "1234");
}

TEST_F(GridEditing, ChoosingTheCatalyticGasFillsItsLongNameAndRatio) {
  SettingsGrid& grid = Grid("vfgGasName");
  Focus(grid, 1, 1);
  Press(Qt::Key_F2);
  auto* list = qobject_cast<QComboBox*>(OpenEditor(grid));
  ASSERT_NE(list, nullptr) << "the catalytic gas is chosen from a list";
  ASSERT_EQ(list->count(), 4);
  EXPECT_EQ(list->itemText(3), "C3H") << "the list ends with the Other gas";
  Press(Qt::Key_Down);  // CH4 -> HEX
  Press(Qt::Key_Return);
  EXPECT_EQ(grid.Text(1, 1), "HEX");
  EXPECT_EQ(grid.Text(1, 2), "HEXANE");
  EXPECT_EQ(grid.Text(1, 3), "12000");
  EXPECT_EQ(Grid("vfgChannel").Text(1, 0), "HEX");
  EXPECT_EQ(Grid("vfgOtherSet").Text(1, 0), "HEX");
  // The long name follows the gas; it is not typed.
  Focus(grid, 1, 2);
  Press(Qt::Key_F2);
  EXPECT_EQ(OpenEditor(grid), nullptr);
}

TEST_F(GridEditing, UnusedCellsOpenNoEditor) {
  SettingsGrid& grid = Grid("vfgGasName");
  Focus(grid, 2, 1);  // OXY's fixed name
  Press(Qt::Key_F2);
  EXPECT_EQ(OpenEditor(grid), nullptr);
  Type(QStringLiteral("X"));
  EXPECT_EQ(OpenEditor(grid), nullptr);
  EXPECT_EQ(grid.Text(2, 1), "OXY");
}

TEST_F(GridEditing, ChannelMappingStaysExclusive) {
  SettingsGrid& grid = Grid("vfgChannel");
  ASSERT_TRUE(grid.IsChecked(4, 3));
  Focus(grid, 1, 3);
  Press(Qt::Key_Space);
  EXPECT_TRUE(grid.IsChecked(1, 3));
  for (int row = 2; row <= 7; ++row) EXPECT_FALSE(grid.IsChecked(row, 3)) << row;
  // A slot without a gas name takes no channel.
  Focus(grid, 6, 2);
  Press(Qt::Key_Space);
  EXPECT_FALSE(grid.IsChecked(6, 2));
}

TEST_F(GridEditing, AStationClickLeavesOneEntryChecked) {
  SettingsGrid& grid = Grid("vfgStation");
  ASSERT_TRUE(grid.IsChecked(2, 0));
  Focus(grid, 9, 0);
  Press(Qt::Key_Space);
  for (int row = 0; row < grid.Rows(); ++row) EXPECT_EQ(grid.IsChecked(row, 0), row == 9) << row;
  Press(Qt::Key_Space);  // a click on the checked entry keeps it
  EXPECT_TRUE(grid.IsChecked(9, 0));
}

TEST_F(GridEditing, TabLeavesTheGridAndArrowsMoveInside) {
  SettingsGrid& grid = Grid("vfgDatas");
  Focus(grid, 2, 1);
  Press(Qt::Key_Down);
  EXPECT_EQ(QApplication::focusWidget(), &grid);
  EXPECT_EQ(grid.currentIndex().row(), 2);
  Press(Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), &grid);
  Focus(grid, 2, 1);
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_NE(QApplication::focusWidget(), &grid);
  // From an editor: Tab takes the entry and leaves as well.
  Focus(grid, 15, 1);
  Type(QStringLiteral("9"));
  Press(Qt::Key_Tab);
  EXPECT_EQ(grid.Text(15, 1), "9");
  EXPECT_NE(QApplication::focusWidget(), &grid);
  EXPECT_EQ(OpenEditor(grid), nullptr);
}

TEST_F(GridEditing, EveryButtonGridAndPageHasAnAccessibleName) {
  for (const QAbstractButton* button : window_->findChildren<QAbstractButton*>()) {
    if (button->parentWidget() != nullptr &&
        qobject_cast<const QTabBar*>(button->parentWidget()) != nullptr) {
      continue;  // the tab bar's own scroll arrows
    }
    EXPECT_FALSE(button->accessibleName().isEmpty())
        << button->metaObject()->className() << " " << button->objectName().toStdString() << " "
        << (button->parentWidget() ? button->parentWidget()->metaObject()->className() : "");
  }
  for (const SettingsGrid* grid : window_->findChildren<SettingsGrid*>()) {
    EXPECT_NE(grid->accessibleName(), grid->objectName()) << grid->objectName().toStdString();
  }
  for (const QTabWidget* tabs : window_->findChildren<QTabWidget*>()) {
    for (int page = 0; page < tabs->count(); ++page) {
      // The page says what it shows: its caption, or more.
      EXPECT_TRUE(tabs->widget(page)->accessibleName().contains(tabs->tabText(page)))
          << tabs->tabText(page).toStdString();
    }
  }
  const auto* tabs = Find<QTabWidget>("SSTab1");
  EXPECT_EQ(tabs->tabText(tabs->count() - 1), "Alarm Levels");
}

}  // namespace
}  // namespace kv
