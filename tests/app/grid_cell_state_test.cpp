// A cell's state and what its roles show: unchanged, edited, invalid with
// the reason in its tool tip, the codes explained; Transmit asks the states
// and never the colours.
#include <gtest/gtest.h>

#include <QPushButton>

#include "app/grid_editor.h"
#include "app/settings_grid.h"
#include "main_window_fixture.h"

namespace kv {
namespace {

struct CellCase {
  const char* name;
  const char* filled;
  const char* typed;    // null: not edited
  const char* refused;  // null: not marked invalid; else the reason
  CellState state;
  QColor background;    // invalid: none
  const char* toolTip;
};

class CellStates : public ::testing::TestWithParam<CellCase> {};

TEST_P(CellStates, FollowTheEditAndTheRefusal) {
  const CellCase& c = GetParam();
  SettingsGrid grid(QStringLiteral("vfgTest"));
  grid.Reset(3, 3, 1, 1);
  grid.SetCell(1, 1, TextCell(QString::fromLatin1(c.filled), QVariant(QString::fromLatin1(c.filled))));
  if (c.typed != nullptr) grid.SetEditedCell(1, 1, QString::fromLatin1(c.typed), QString::fromLatin1(c.typed));
  if (c.refused != nullptr) grid.MarkInvalid(1, 1, QString::fromLatin1(c.refused));
  EXPECT_EQ(grid.State(1, 1), c.state);
  const QModelIndex cell = grid.Index(1, 1);
  EXPECT_EQ(cell.data(Qt::ToolTipRole).toString(), QString::fromLatin1(c.toolTip));
  if (c.background.isValid()) {
    EXPECT_EQ(cell.data(Qt::BackgroundRole).value<QBrush>().color(), c.background);
  } else {
    EXPECT_FALSE(cell.data(Qt::BackgroundRole).isValid());
  }
  EXPECT_EQ(grid.HasInvalidCell(), c.state == CellState::Invalid);
  EXPECT_FALSE(grid.HasInvalidCell(2)) << "only column 1 holds a cell";
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CellStates,
    ::testing::Values(
        CellCase{"unchanged", "25", nullptr, nullptr, CellState::Normal, QColor(), ""},
        CellCase{"edited", "25", "20", nullptr, CellState::Edited, SettingsGrid::EditedCellColour(), ""},
        CellCase{"edited_back", "25", "25", nullptr, CellState::Normal, QColor(), ""},
        CellCase{"invalid", "25", "900", "accepts 0 to 500", CellState::Invalid,
                 SettingsGrid::InvalidCellColour(), "accepts 0 to 500"},
        CellCase{"mark_taken_away", "25", "20", "", CellState::Edited, SettingsGrid::EditedCellColour(), ""},
        CellCase{"not_used", "*****", nullptr, nullptr, CellState::Normal, QColor(), "not used"},
        CellCase{"not_adjustable", "?????", nullptr, nullptr, CellState::Normal, QColor(), "not adjustable"},
        CellCase{"no_data", "-----", nullptr, nullptr, CellState::Normal, QColor(), "no data"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CellStates, AnInvalidCellStaysMarkedUntilItsTextChanges) {
  SettingsGrid grid(QStringLiteral("vfgTest"));
  grid.Reset(2, 2, 1, 1);
  grid.SetCell(1, 1, TextCell(QStringLiteral("5"), QVariant(QStringLiteral("5"))));
  grid.MarkInvalid(1, 1, QStringLiteral("accepts 0 to 3"));
  grid.model()->setData(grid.Index(1, 1), QFont(), Qt::FontRole);  // any other change of the cell
  EXPECT_EQ(grid.State(1, 1), CellState::Invalid);
  grid.SetEditedCell(1, 1, QStringLiteral("2"), QStringLiteral("2"));
  EXPECT_EQ(grid.State(1, 1), CellState::Edited);
  EXPECT_TRUE(grid.Index(1, 1).data(Qt::ToolTipRole).toString().isEmpty());
}

class TransmitBlocked : public test::MainWindowFixture {};

TEST_F(TransmitBlocked, ByTheStateOfACellNotByItsColour) {
  ASSERT_NO_FATAL_FAILURE(Start());
  auto* users = Find<SettingsGrid>("vfgUser");
  auto* stations = Find<SettingsGrid>("vfgStation");
  // A red cell that is not marked blocks nothing.
  stations->model()->setData(stations->Index(1, 1), QBrush(SettingsGrid::InvalidCellColour()), Qt::BackgroundRole);
  window_->cmdSend_Click();
  EXPECT_TRUE(dialogs_.calls.empty());
  // A marked cell blocks, whatever colour it shows.
  users->MarkInvalid(1, 1, QStringLiteral("no \",\" in a name"));
  users->model()->setData(users->Index(1, 1), QBrush(Qt::white), Qt::BackgroundRole);
  window_->cmdSend_Click();
  ASSERT_EQ(dialogs_.calls.size(), 1u);
  EXPECT_EQ(dialogs_.calls[0].icon, Dialogs::Icon::Critical);
  EXPECT_TRUE(dialogs_.calls[0].text.contains(QStringLiteral("User List"))) << dialogs_.calls[0].text.toStdString();
}

}  // namespace
}  // namespace kv
