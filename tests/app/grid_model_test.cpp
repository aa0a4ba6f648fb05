// The table model behind a settings grid: the overlay of edits over what the
// fill wrote, and the state each change leaves, whoever makes it (an accepted
// entry, a toggle from the view, a refusal, a Transmit taking the edits).
#include <gtest/gtest.h>

#include <QBrush>
#include <functional>

#include "app/grid_model.h"
#include "app/settings_grid.h"

namespace kv {
namespace {

// Row 0: a text cell "25"; row 1: a check box, unchecked; row 2: unused "*****".
struct ModelCase {
  const char* name;
  std::function<void(GridModel&)> change;
  int row;
  CellState state;
  const char* text;
  QVariant value;  // behind the cell now
};

void Fill(GridModel& model) {
  model.Reset(3, 1);
  model.Fill(0, 0, TextCell(QStringLiteral("25"), QVariant(25)));
  model.Fill(1, 0, CheckCell(false));
  model.Fill(2, 0, UnusedCell(QStringLiteral("*****")));
}

class GridModelChanges : public ::testing::TestWithParam<ModelCase> {};

TEST_P(GridModelChanges, LeaveTheirState) {
  const ModelCase& c = GetParam();
  GridModel model;
  Fill(model);
  model.SetCheckFilter([](int row, int, bool) { return row == 1; });
  c.change(model);
  const QModelIndex cell = model.index(c.row, 0);
  EXPECT_EQ(model.Cell(c.row, 0)->state, c.state);
  EXPECT_EQ(cell.data(Qt::DisplayRole).toString(), QString::fromLatin1(c.text));
  EXPECT_EQ(model.Cell(c.row, 0)->value, c.value);
  EXPECT_EQ(cell.data(Qt::FontRole).value<QFont>().bold(), c.state == CellState::Edited);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, GridModelChanges,
    ::testing::Values(
        ModelCase{"an_entry_is_an_edit", [](GridModel& m) { m.SetEdited(0, 0, QStringLiteral("30"), 30); },
                  0, CellState::Edited, "30", QVariant(30)},
        ModelCase{"a_toggle_from_the_view",
                  [](GridModel& m) { m.setData(m.index(1, 0), Qt::Checked, Qt::CheckStateRole); }, 1,
                  CellState::Edited, "", QVariant(true)},
        ModelCase{"a_toggle_and_back",
                  [](GridModel& m) {
                    m.setData(m.index(1, 0), Qt::Checked, Qt::CheckStateRole);
                    m.setData(m.index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
                  },
                  1, CellState::Normal, "", QVariant(false)},
        ModelCase{"an_unused_cell_takes_no_text",
                  [](GridModel& m) { EXPECT_FALSE(m.setData(m.index(2, 0), QStringLiteral("1"), Qt::EditRole)); },
                  2, CellState::Unused, "*****", QVariant()},
        ModelCase{"the_look_is_not_set_from_outside",
                  [](GridModel& m) {
                    EXPECT_FALSE(m.setData(m.index(0, 0), QBrush(Qt::red), Qt::BackgroundRole));
                  },
                  0, CellState::Normal, "25", QVariant(25)},
        ModelCase{"a_refusal_keeps_the_text_shown",
                  [](GridModel& m) {
                    m.SetEdited(0, 0, QStringLiteral("900"), 900);
                    m.MarkInvalid(0, 0, QStringLiteral("accepts 0 to 500"));
                  },
                  0, CellState::Invalid, "900", QVariant(900)},
        ModelCase{"taken_edits_are_unedited",
                  [](GridModel& m) {
                    m.SetEdited(0, 0, QStringLiteral("30"), 30);
                    m.ClearEditMarks();
                  },
                  0, CellState::Normal, "30", QVariant(30)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridModel, ARefusedToggleLeavesTheBox) {
  GridModel model;
  Fill(model);
  model.SetCheckFilter([](int, int, bool) { return false; });
  EXPECT_FALSE(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
  EXPECT_EQ(model.index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_EQ(model.Cell(1, 0)->state, CellState::Normal);
}

TEST(GridModel, TakenEditsBecomeWhatTheCellWasFilledWith) {
  GridModel model;
  Fill(model);
  model.SetEdited(0, 0, QStringLiteral("30"), 30);
  model.ClearEditMarks();
  model.SetEdited(0, 0, QStringLiteral("25"), 25);
  EXPECT_EQ(model.Cell(0, 0)->state, CellState::Edited) << "25 is an edit once 30 was taken";
}

}  // namespace
}  // namespace kv
