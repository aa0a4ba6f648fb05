#pragma once
// Checking grid cells against a table of expected texts and looks.
#include <gtest/gtest.h>

#include <span>
#include <string>

#include "app/settings_grid.h"

namespace kv::test {

enum class Look {
  Normal,     // an editable cell in the normal colour
  Unused,     // fixed colour, not editable
  Checked,    // a check box, checked
  Unchecked,  // a check box, not checked
  Caption,    // a caption cell
};

struct CellExpectation {
  int row;
  int col;
  const char* text;
  Look look;
};

inline void ExpectCell(const SettingsGrid& grid, const CellExpectation& c) {
  const std::string where = grid.objectName().toStdString() + " (" + std::to_string(c.row) + "," +
                            std::to_string(c.col) + ")";
  EXPECT_EQ(grid.Text(c.row, c.col).toStdString(), c.text) << where;
  switch (c.look) {
    case Look::Caption:
      EXPECT_TRUE(grid.IsCaptionCell(c.row, c.col)) << where;
      break;
    case Look::Unused:
      EXPECT_FALSE(grid.IsCaptionCell(c.row, c.col)) << where;
      EXPECT_EQ(grid.State(c.row, c.col), CellState::Unused) << where;
      EXPECT_EQ(grid.Background(c.row, c.col), SettingsGrid::FixedCellColour()) << where;
      ASSERT_TRUE(grid.Index(c.row, c.col).isValid()) << where;
      EXPECT_FALSE(grid.Index(c.row, c.col).flags() & Qt::ItemIsEditable) << where;
      break;
    case Look::Normal:
      EXPECT_EQ(grid.State(c.row, c.col), CellState::Normal) << where;
      EXPECT_NE(grid.Background(c.row, c.col), SettingsGrid::FixedCellColour()) << where;
      EXPECT_NE(grid.Kind(c.row, c.col), CellKind::Check) << where;
      break;
    case Look::Checked:
    case Look::Unchecked:
      EXPECT_EQ(grid.Kind(c.row, c.col), CellKind::Check) << where;
      EXPECT_EQ(grid.IsChecked(c.row, c.col), c.look == Look::Checked) << where;
      EXPECT_EQ(grid.State(c.row, c.col), CellState::Normal) << where;
      break;
  }
}

inline void ExpectCells(const SettingsGrid& grid, std::span<const CellExpectation> cells) {
  for (const CellExpectation& c : cells) ExpectCell(grid, c);
}

}  // namespace kv::test
