#include "app/grid_fill.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include "app/other_setting.h"
#include "app/settings_grid.h"
#include "grid_expect.h"
#include "support/sample_record.h"

namespace kv {
namespace {

using test::CellExpectation;
using test::ExpectCells;
using test::Look;

class GridFillTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(record_.Key(), "") << record_.Key(); }
  clsInstrument record_ = testsupport::GridRecord();
};

TEST_F(GridFillTest, GasNamesAndRatios) {
  SettingsGrid grid(QStringLiteral("vfgGasName"));
  FillGasName(grid, record_);
  ASSERT_EQ(grid.Rows(), 8);
  ASSERT_EQ(grid.Cols(), 7);
  const CellExpectation cells[] = {
      {0, 1, "Name", Look::Caption},       {0, 2, "Long Name", Look::Caption},
      {0, 3, "Ratio", Look::Caption},      {0, 4, "Other", Look::Caption},
      {0, 5, "Other Long Name", Look::Caption}, {0, 6, "Ratio", Look::Caption},
      {1, 0, "STD1", Look::Caption},       {4, 0, "STD4", Look::Caption},
      {5, 0, "OPT1", Look::Caption},       {7, 0, "OPT3", Look::Caption},
      {1, 1, "CH4", Look::Normal},         {1, 2, "METHANE", Look::Normal},
      {1, 3, "50000", Look::Normal},       {1, 4, "C3H", Look::Normal},
      {1, 5, "PROPANE", Look::Normal},     {1, 6, "12000", Look::Normal},
      // The fixed sensors show their fixed names in unused cells.
      {2, 1, "OXY", Look::Unused},         {3, 1, "H2S", Look::Unused},
      {4, 1, "CO ", Look::Unused},         {2, 2, "-----", Look::Unused},
      {4, 2, "-----", Look::Unused},
      // Optional sensors: name and long name (G1_ 2..4) only.
      {5, 1, "CO2", Look::Normal},         {6, 1, "", Look::Normal},
      {7, 1, "VOC", Look::Normal},         {5, 2, "CARBON DIOXIDE", Look::Normal},
      {6, 2, "X", Look::Normal},           {7, 2, "ISOBUTYLENE", Look::Normal},
  };
  ExpectCells(grid, cells);
  for (int row = 2; row <= 7; ++row) {
    for (int col = 3; col <= 6; ++col) test::ExpectCell(grid, {row, col, "-----", Look::Unused});
  }
  // The ratio keeps its number beside the text.
  EXPECT_EQ(grid.FilledValue(1, 3).toLongLong(), 50000);
}

TEST_F(GridFillTest, ChannelMaskBitsCheckTheirChannels) {
  SettingsGrid grid(QStringLiteral("vfgChannel"));
  FillChannel(grid, record_);
  ASSERT_EQ(grid.Rows(), 8);
  ASSERT_EQ(grid.Cols(), 7);
  const CellExpectation cells[] = {
      {0, 1, "Ch1", Look::Caption}, {0, 6, "Ch6", Look::Caption},
      {1, 0, "CH4", Look::Caption}, {2, 0, "OXY", Look::Caption},
      {4, 0, "CO ", Look::Caption}, {5, 0, "CO2", Look::Caption},
      // mask 0b100001: channels 1 and 6
      {1, 1, "", Look::Checked},    {1, 2, "", Look::Unchecked},
      {1, 5, "", Look::Unchecked},  {1, 6, "", Look::Checked},
      // mask 0b100: channel 3
      {4, 3, "", Look::Checked},
  };
  ExpectCells(grid, cells);
  int checked = 0;
  for (int row = 1; row <= 7; ++row) {
    for (int col = 1; col <= 6; ++col) checked += grid.IsChecked(row, col) ? 1 : 0;
  }
  EXPECT_EQ(checked, 3) << "a mask of 0 leaves its slot unchecked";
}

TEST_F(GridFillTest, RangeAndZeroOptions) {
  SettingsGrid grid(QStringLiteral("vfgOtherSet"));
  FillGasOptions(grid, record_);
  ASSERT_EQ(grid.Rows(), 8);
  ASSERT_EQ(grid.Cols(), 4);
  const CellExpectation cells[] = {
      {0, 1, "Alternate Ranges", Look::Caption}, {0, 3, "Zero Suppress", Look::Caption},
      {3, 0, "H2S", Look::Caption},
      // Alternate ranges only for the fixed sensors.
      {1, 1, "", Look::Unused},   {2, 1, "", Look::Checked},  {3, 1, "", Look::Unchecked},
      {4, 1, "", Look::Checked},  {5, 1, "", Look::Unused},   {7, 1, "", Look::Unused},
      // Zero follower everywhere but oxygen.
      {1, 2, "", Look::Checked},  {2, 2, "", Look::Unused},   {3, 2, "", Look::Unchecked},
      {5, 2, "", Look::Checked},
      // Zero suppress from slot 2 on.
      {1, 3, "-----", Look::Unused}, {2, 3, "-----", Look::Unused},
      {3, 3, "5", Look::Normal},     {7, 3, "16", Look::Normal},
  };
  ExpectCells(grid, cells);
}

TEST_F(GridFillTest, MethaneElimination) {
  SettingsGrid grid(QStringLiteral("vfgME"));
  FillMethaneElimination(grid, record_);
  ASSERT_EQ(grid.Rows(), 8);
  ASSERT_EQ(grid.Cols(), 3);
  const CellExpectation cells[] = {
      {0, 1, "Normal", Look::Caption}, {0, 2, "Methane Elimination", Look::Caption},
      {1, 0, "EV", Look::Caption},     {3, 0, "CAT D/A", Look::Caption},
      {7, 0, "ME SPAN", Look::Caption},
      {1, 1, "10", Look::Normal},      {1, 2, "20", Look::Normal},
      {2, 1, "30", Look::Normal},      {2, 2, "40", Look::Normal},
      {3, 1, "1000", Look::Normal},    {3, 2, "2000", Look::Normal},
      {4, 1, "-----", Look::Unused},   {7, 1, "-----", Look::Unused},
      {4, 2, "450", Look::Normal},     {7, 2, "809", Look::Normal},
  };
  ExpectCells(grid, cells);
}

TEST_F(GridFillTest, OtherSettingRowsShowValuesAndChoices) {
  SettingsGrid grid(QStringLiteral("vfgDatas"));
  FillOtherSetting(grid, record_);
  ASSERT_EQ(grid.Rows(), 25);
  ASSERT_EQ(grid.Cols(), 3);
  const CellExpectation cells[] = {
      {1, 0, "Manufacture number", Look::Caption},   {1, 1, "ABC123", Look::Normal},
      {2, 0, "Alarm Latching", Look::Caption},       {2, 1, "Reset", Look::Normal},
      {3, 0, "Confermation Alart", Look::Caption},   {3, 1, "LIGHT & BEEP", Look::Normal},
      {4, 1, "Off", Look::Normal},                   {5, 0, "PROMPT TO CLEAR LOG", Look::Caption},
      {6, 1, "365", Look::Normal},                   {7, 1, "On", Look::Normal},
      {8, 1, "Notification Only", Look::Normal},     {9, 1, "FRENCH", Look::Normal},
      {10, 1, "%LEL ONLY", Look::Normal},            {11, 1, "H-HH", Look::Normal},
      {14, 1, "30", Look::Normal},                   {15, 1, "15", Look::Normal},
      {16, 1, "Off", Look::Normal},                  {17, 1, "LC & BH", Look::Normal},
      {18, 0, "BAR HOLE MEASURING TIME(sec)", Look::Caption},
      {18, 1, "", Look::Normal},  // 3 is outside "30|45|60"
      {23, 0, "SET PASSWORD ", Look::Caption},       {23, 1, "1234", Look::Normal},
      {24, 0, "Auto Range IR Sensor ", Look::Caption}, {24, 1, "On", Look::Normal},
      {2, 2, "Latch|Reset", Look::Unused},           {18, 2, "30|45|60", Look::Unused},
      {1, 2, "", Look::Unused},
  };
  ExpectCells(grid, cells);
  // Choice cells keep their index; the list column is out of sight.
  EXPECT_EQ(grid.Kind(18, 1), CellKind::Choice);
  EXPECT_EQ(grid.FilledValue(18, 1).toInt(), 3);
  EXPECT_EQ(grid.FilledValue(9, 1).toInt(), 2);
  EXPECT_EQ(grid.Index(2, 1).data(grid_role::kChoiceList).toString(), "Latch|Reset");
  EXPECT_TRUE(grid.isColumnHidden(1));
}

TEST(SetOtherRow, RowsOutsideTheTableAreLeftAlone) {
  SettingsGrid grid(QStringLiteral("vfgDatas"));
  grid.Reset(kOtherSettingRows, 3, 1, 1);
  for (const int row : {0, 25, -1}) {
    SetOtherRow(grid, row, QStringLiteral("X"), 1, OtherRowKind::Free, QString());
  }
  for (int row = 0; row < grid.Rows(); ++row) {
    for (int col = 0; col < grid.Cols(); ++col) {
      EXPECT_EQ(grid.Text(row, col), QString()) << row << "," << col;
    }
  }
  SetOtherRow(grid, 24, QStringLiteral("Check"), true, OtherRowKind::Check, QString());
  EXPECT_TRUE(grid.IsChecked(24, 1));
}

TEST_F(GridFillTest, StationAndUserListsMarkTheSelectedEntry) {
  SettingsGrid stations(QStringLiteral("vfgStation"));
  SettingsGrid users(QStringLiteral("vfgUser"));
  FillStationUser(stations, users, record_);
  ASSERT_EQ(stations.Rows(), 128);
  ASSERT_EQ(users.Rows(), 32);
  ASSERT_EQ(stations.Cols(), 2);
  const CellExpectation stationCells[] = {
      {0, 0, "1", Look::Unchecked},   {0, 1, "NORTH", Look::Normal},
      {2, 0, "3", Look::Checked},     {127, 0, "128", Look::Unchecked},
      {127, 1, "LAST", Look::Normal},
  };
  ExpectCells(stations, stationCells);
  const CellExpectation userCells[] = {
      {31, 0, "32", Look::Checked}, {31, 1, "OPERATOR", Look::Normal},
      {0, 0, "1", Look::Unchecked},
  };
  ExpectCells(users, userCells);
  int checked = 0;
  for (int row = 0; row < stations.Rows(); ++row) checked += stations.IsChecked(row, 0) ? 1 : 0;
  EXPECT_EQ(checked, 1);

  // A selection outside the list checks nothing.
  ASSERT_TRUE(record_.SetXV_(1, 0));
  FillStationUser(stations, users, record_);
  for (int row = 0; row < users.Rows(); ++row) EXPECT_FALSE(users.IsChecked(row, 0)) << row;
}

TEST_F(GridFillTest, ConversionTablesFormatLevelsAndModes) {
  SettingsGrid pre(QStringLiteral("vfgPreConv"));
  SettingsGrid user(QStringLiteral("vfgUserConv"));
  QLineEdit count;
  FillConversion(pre, user, count, record_);
  ASSERT_EQ(pre.Rows(), 31);
  ASSERT_EQ(user.Rows(), 6);
  ASSERT_EQ(pre.Cols(), 8);
  const CellExpectation preCells[] = {
      {0, 0, "No", Look::Caption},       {0, 3, "Factor", Look::Caption},
      {0, 7, "Volt", Look::Caption},     {1, 0, "1", Look::Unused},
      {30, 0, "30", Look::Unused},       {1, 1, "ETH", Look::Normal},
      {1, 2, "ETHANOL", Look::Normal},   {1, 3, "150.00", Look::Normal},
      {1, 4, "Fail(Air)", Look::Normal}, {1, 5, "-----", Look::Normal},
      {1, 6, "0.5", Look::Normal},       {1, 7, "ME", Look::Normal},
      {2, 7, "Normal", Look::Normal},    {2, 4, "0", Look::Normal},
  };
  ExpectCells(pre, preCells);
  // User-defined entry 4 takes the levels of entry 34.
  const CellExpectation userCells[] = {
      {5, 0, "5", Look::Unused},       {5, 1, "USR", Look::Normal},
      {5, 2, "USER GAS", Look::Normal}, {5, 3, "7.00", Look::Normal},
      {5, 4, "13", Look::Normal},      {5, 5, "*****", Look::Normal},
      {5, 7, "Normal", Look::Normal},
  };
  ExpectCells(user, userCells);
  EXPECT_EQ(count.text(), "7");
  // The text is rounded; the value behind it is not.
  EXPECT_FLOAT_EQ(user.FilledValue(5, 4).toFloat(), 12.6f);
}

TEST_F(GridFillTest, PidTablesShowEachRangeWithItsDecimals) {
  SettingsGrid high(QStringLiteral("vfgPID0"));
  SettingsGrid low(QStringLiteral("vfgPID1"));
  FillPID(high, 0, record_);
  FillPID(low, 1, record_);
  ASSERT_EQ(high.Rows(), 18);
  ASSERT_EQ(high.Cols(), 13);
  const CellExpectation highCells[] = {
      {0, 0, "No", Look::Caption},          {0, 12, "Factor", Look::Caption},
      {1, 0, "1", Look::Unused},            {17, 0, "17", Look::Unused},
      {1, 1, "IBL", Look::Normal},          {1, 2, "ISOBUTYLENE", Look::Normal},
      {1, 3, "1000.0", Look::Normal},       {1, 4, "1/10", Look::Normal},
      {1, 5, "ppm", Look::Normal},          {1, 6, "0.1", Look::Normal},
      {1, 7, "50.0", Look::Normal},         {1, 8, "*****", Look::Normal},
      {1, 9, "*****", Look::Normal},        {1, 10, "-----", Look::Normal},
      {1, 11, "100.0", Look::Normal},       {1, 12, "123.00", Look::Normal},
      {17, 4, "1/1", Look::Normal},
  };
  ExpectCells(high, highCells);
  const CellExpectation lowCells[] = {
      {1, 1, "IBL", Look::Normal},   {1, 3, "20", Look::Normal},
      {1, 4, "1/1", Look::Normal},   {17, 1, "ACE", Look::Normal},
      {17, 3, "2.500", Look::Normal}, {17, 4, "1/1000", Look::Normal},
      {17, 7, "Fail(Air)", Look::Normal},
  };
  ExpectCells(low, lowCells);
}

TEST_F(GridFillTest, ARefillDiscardsEditsAndTheirColour) {
  SettingsGrid grid(QStringLiteral("vfgME"));
  FillMethaneElimination(grid, record_);
  grid.model()->setData(grid.Index(1, 1), QStringLiteral("11"));
  EXPECT_EQ(grid.State(1, 1), CellState::Edited);
  EXPECT_EQ(grid.Background(1, 1), SettingsGrid::EditedCellColour());
  FillMethaneElimination(grid, record_);
  EXPECT_EQ(grid.Text(1, 1), "10");
  EXPECT_EQ(grid.State(1, 1), CellState::Normal);
}

}  // namespace
}  // namespace kv
