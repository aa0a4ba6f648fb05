#pragma once
// The rules of the per-slot grids besides the gas names: the channel gas
// mapping, the range and zero options, and methane elimination.
#include <array>
#include <string_view>
#include <vector>

#include "model/instrument.h"
#include "rules/edit_check.h"

namespace kv::rules {

inline constexpr int kGasSlotCount = 7;     // slots 0..6 in rows 1..7
inline constexpr int kDisplayChannels = 6;  // channels 0..5 in columns 1..6

// The channel mapping grid: checked[slot][channel]. A display channel carries
// at most one gas.
class ChannelMap {
 public:
  static ChannelMap FromRecord(const clsInstrument& record);

  bool Checked(int slot, int channel) const;
  // Checking a channel unchecks it in every other slot; returns those slots.
  std::vector<int> Set(int slot, int channel, bool checked);
  // The sum of 2 to the power c over the checked channels c of the slot.
  int Mask(int slot) const;

 private:
  std::array<std::array<bool, kDisplayChannels>, kGasSlotCount> checked_{};
};

// Validate-edit of a mapping cell: refused in a row whose slot has no gas name.
EditCheck CheckChannelEdit(std::string_view slotName, int row, int column);

// Write-back: a slot whose mask differs from UG_ gets the new mask, and is
// enabled exactly when its mask is not 0. Other slots keep their flags.
void StoreChannelMap(clsInstrument& record, const ChannelMap& map);

// The range and zero options grid: "Alternate Ranges" for the fixed sensors,
// "Zero Follower" for every slot but oxygen, "Zero Suppress" for slots 2..6.
bool GasOptionCellEditable(int row, int column);
SettingRef GasOptionSetting(int row, int column);
// "Zero Suppress": a whole number 0 to 255 (the instrument sends it as one hex byte).
EditCheck CheckZeroSuppress(std::string_view text);

// Methane elimination: rows 1..3 hold a normal and a methane-elimination
// value, rows 4..7 one value in column 2. Each accepts a whole number in its
// row's range; an empty entry is refused.
bool MethaneCellEditable(int row, int column);
SettingRef MethaneSetting(int row, int column);
EditCheck CheckMethaneCell(int row, int column, std::string_view text);

}  // namespace kv::rules
