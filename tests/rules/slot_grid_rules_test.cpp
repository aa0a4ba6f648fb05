#include "rules/slot_grid_rules.h"

#include <gtest/gtest.h>

#include "rules_expect.h"

namespace kv::rules {
namespace {

TEST(MethaneRules, AcceptWholeNumbersInEachRowsRange) {
  struct Case {
    int column;
    EditCase edit;
  };
  const Case cases[] = {
      {2, {7, "809", true, "809"}},
      {2, {7, "810", false, "accepts 200 to 809"}},
      {2, {7, "200", true, "200"}},
      {2, {7, "199", false, "accepts 200 to 809"}},
      {2, {4, "449", false, "accepts 450 to 550"}},
      {2, {4, "450", true, "450"}},
      {2, {6, "550", true, "550"}},
      {2, {5, "551", false, "accepts 450 to 550"}},
      {1, {1, "255", true, "255"}},
      {2, {1, "256", false, "accepts 0 to 255"}},
      {1, {2, "-1", false, "accepts 0 to 255"}},
      {1, {3, "16383", true, "16383"}},
      {2, {3, "16384", false, "accepts 0 to 16383"}},
      {1, {3, "12.5", false, "accepts 0 to 16383"}},
      {1, {1, "", false, "accepts 0 to 255"}},  // an empty entry is refused here
      {2, {7, "  ", false, "accepts 200 to 809"}},
      {1, {4, "500", false, "this cell is not editable"}},  // rows 4..7 have no normal value
      {1, {8, "1", false, "this cell is not editable"}},
  };
  for (const Case& c : cases) {
    ExpectEdit(CheckMethaneCell(c.edit.row, c.column, c.edit.text), c.edit,
               "column " + std::to_string(c.column));
  }
  EXPECT_EQ(CheckMethaneCell(1, 1, "10").setting, (SettingRef{"HH_", 0}));
  EXPECT_EQ(CheckMethaneCell(2, 2, "10").setting, (SettingRef{"HE_", 1}));
  EXPECT_EQ(CheckMethaneCell(3, 1, "10").setting, (SettingRef{"RP_", 0}));
  EXPECT_EQ(CheckMethaneCell(7, 2, "500").setting, (SettingRef{"SI_", 3}));
}

TEST(GasOptionRules, RefuseTheUnusedCells) {
  // Rows 1..7, columns 1..3: Alternate Ranges, Zero Follower, Zero Suppress.
  const bool editable[7][3] = {
      {false, true, false}, {true, false, false}, {true, true, true},  {true, true, true},
      {false, true, true},  {false, true, true},  {false, true, true},
  };
  for (int row = 1; row <= 7; ++row) {
    for (int column = 1; column <= 3; ++column) {
      EXPECT_EQ(GasOptionCellEditable(row, column), editable[row - 1][column - 1])
          << row << "," << column;
    }
  }
  EXPECT_EQ(GasOptionSetting(3, 1), (SettingRef{"AltRng", 2}));
  EXPECT_EQ(GasOptionSetting(5, 3), (SettingRef{"ZeroForce", 4}));
  EXPECT_EQ(GasOptionSetting(2, 2), SettingRef{});
}

TEST(ChannelRules, RefuseEditsOfAnUnnamedSlot) {
  EXPECT_TRUE(CheckChannelEdit("NH3", 5, 3).accepted);
  EXPECT_EQ(CheckChannelEdit("NH3", 5, 3).setting, (SettingRef{"UG_", 4}));
  EXPECT_FALSE(CheckChannelEdit("", 7, 1).accepted);
  EXPECT_FALSE(CheckChannelEdit("   ", 7, 1).accepted);
  EXPECT_FALSE(CheckChannelEdit("NH3", 5, 0).accepted);  // the name column
  EXPECT_FALSE(CheckChannelEdit("NH3", 5, 7).accepted);
}

class ChannelMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // CH4 on channels 1 and 6, H2S on channel 3, NH3 on channel 3 too (a file may say so).
    const std::pair<int, int> masks[] = {{0, 0b100001}, {2, 0b000100}, {4, 0b000100}};
    for (const auto& [slot, mask] : masks) {
      ASSERT_TRUE(record.SetUG_(slot, static_cast<Integer>(mask)));
      ASSERT_TRUE(record.SetGasEnabled(slot, true));
    }
    record.ClearChangeFlags();
  }
  clsInstrument record;
};

TEST_F(ChannelMapTest, CheckingAChannelUnchecksItInEveryOtherSlot) {
  ChannelMap map = ChannelMap::FromRecord(record);
  EXPECT_EQ(map.Mask(0), 0b100001);
  EXPECT_EQ(map.Set(2, 2, true), (std::vector<int>{4}));  // Ch3 for the H2S row
  for (int slot = 0; slot < kGasSlotCount; ++slot)
    EXPECT_EQ(map.Checked(slot, 2), slot == 2) << slot;
  EXPECT_EQ(map.Set(3, 0, true), (std::vector<int>{0}));
  EXPECT_EQ(map.Mask(0), 0b100000);
  EXPECT_TRUE(map.Set(3, 0, false).empty());  // unchecking touches no other slot
  EXPECT_EQ(map.Mask(3), 0);
}

TEST_F(ChannelMapTest, StoringAnUneditedMapSetsNoFlag) {
  StoreChannelMap(record, ChannelMap::FromRecord(record));
  for (int slot = 0; slot < kGasSlotCount; ++slot) {
    EXPECT_FALSE(record.Change_UG_(slot)) << slot;
    EXPECT_FALSE(record.Change_GasEnable(slot)) << slot;
  }
}

TEST_F(ChannelMapTest, ClearingEverySlotChannelDisablesTheSlot) {
  ChannelMap map = ChannelMap::FromRecord(record);
  [[maybe_unused]] const auto none = map.Set(2, 2, false);
  [[maybe_unused]] const auto cleared = map.Set(5, 1, true);
  StoreChannelMap(record, map);
  EXPECT_EQ(record.UG_(2), 0);
  EXPECT_FALSE(record.GasEnabled(2));
  EXPECT_TRUE(record.Change_UG_(2));
  EXPECT_EQ(record.UG_(5), 0b10);
  EXPECT_TRUE(record.GasEnabled(5));
  EXPECT_FALSE(record.Change_UG_(0));  // unchanged slots keep their flags
  EXPECT_FALSE(record.Change_GasEnable(4));
}

}  // namespace
}  // namespace kv::rules
