#include "rules/slot_grid_rules.h"

namespace kv::rules {
namespace {

constexpr long kNoSensorZeroSuppress = 16;

constexpr int kOxygenSlot = 1;

bool ValidSlot(int slot) { return slot >= 0 && slot < kGasSlotCount; }
bool ValidChannel(int channel) { return channel >= 0 && channel < kDisplayChannels; }

struct MethaneRow {
  std::string_view setting;
  int normalIndex;  // -1: the normal column is unused
  int eliminationIndex;
  long lowest, highest;
};

// Rows 1..7: "EV", "D/A", "CAT D/A", "ME ZERO L", "ME ZERO M", "ME ZERO H", "ME SPAN".
constexpr std::array<MethaneRow, 7> kMethaneRows = {{
    {"HH_", 0, 1, 0, 255},
    {"HE_", 0, 1, 0, 255},
    {"RP_", 0, 1, 0, 16383},
    {"SI_", -1, 0, 450, 550},
    {"SI_", -1, 1, 450, 550},
    {"SI_", -1, 2, 450, 550},
    {"SI_", -1, 3, 200, 809},
}};

const MethaneRow* MethaneRowAt(int row) {
  if (row < 1 || row > static_cast<int>(kMethaneRows.size())) return nullptr;
  return &kMethaneRows[static_cast<std::size_t>(row - 1)];
}

}  // namespace

ChannelMap ChannelMap::FromRecord(const clsInstrument& record) {
  ChannelMap map;
  for (int slot = 0; slot < kGasSlotCount; ++slot) {
    const auto mask = static_cast<unsigned>(static_cast<std::uint16_t>(record.UG_(slot)));
    for (int channel = 0; channel < kDisplayChannels; ++channel) {
      map.checked_[slot][channel] = ((mask >> channel) & 1U) != 0;
    }
  }
  return map;
}

bool ChannelMap::Checked(int slot, int channel) const {
  return ValidSlot(slot) && ValidChannel(channel) && checked_[slot][channel];
}

std::vector<int> ChannelMap::Set(int slot, int channel, bool checked) {
  std::vector<int> cleared;
  if (!ValidSlot(slot) || !ValidChannel(channel)) return cleared;
  checked_[slot][channel] = checked;
  if (!checked) return cleared;
  for (int other = 0; other < kGasSlotCount; ++other) {
    if (other != slot && checked_[other][channel]) {
      checked_[other][channel] = false;
      cleared.push_back(other);
    }
  }
  return cleared;
}

int ChannelMap::Mask(int slot) const {
  int mask = 0;
  for (int channel = 0; channel < kDisplayChannels; ++channel) {
    if (Checked(slot, channel)) mask |= 1 << channel;
  }
  return mask;
}

EditCheck CheckChannelEdit(std::string_view slotName, int row, int column) {
  const int slot = row - 1;
  if (!ValidSlot(slot) || !ValidChannel(column - 1)) {
    return EditCheck::Refuse(std::string(kNotEditable));
  }
  const SettingRef setting{"UG_", slot};
  if (Trim(slotName).empty())
    return EditCheck::Refuse("accepts channels for a named gas only").Of(setting);
  return EditCheck::Accept({}).Of(setting);
}

void StoreChannelMap(clsInstrument& record, const ChannelMap& map) {
  for (int slot = 0; slot < kGasSlotCount; ++slot) {
    const int mask = map.Mask(slot);
    if (mask == record.UG_(slot)) continue;
    // Both indexes lie inside the record's tables.
    [[maybe_unused]] const bool stored =
        record.SetUG_(slot, static_cast<Integer>(mask)) && record.SetGasEnabled(slot, mask != 0);
  }
}

bool GasOptionCellEditable(int row, int column) {
  const int slot = row - 1;
  if (!ValidSlot(slot)) return false;
  switch (column) {
    case 1:
      return slot >= 1 && slot <= 3;
    case 2:
      return slot != kOxygenSlot;
    case 3:
      return slot >= 2;
    default:
      return false;
  }
}

SettingRef GasOptionSetting(int row, int column) {
  if (!GasOptionCellEditable(row, column)) return {};
  static constexpr std::array<std::string_view, 3> kSettings = {"AltRng", "Zero", "ZeroForce"};
  return {kSettings[static_cast<std::size_t>(column - 1)], row - 1};
}

// 16 is the code of a channel without a sensor: a file keeps it as "@", read
// back as 0, so it is no zero suppress.
EditCheck CheckZeroSuppress(std::string_view text) {
  EditCheck check = CheckWholeNumber(text, 0, 255);
  if (check.accepted && *check.number == kNoSensorZeroSuppress) {
    return EditCheck::Refuse("accepts 0 to 255 but 16, which marks a channel without a sensor");
  }
  return check;
}

bool MethaneCellEditable(int row, int column) {
  const MethaneRow* rule = MethaneRowAt(row);
  if (rule == nullptr) return false;
  return column == 2 || (column == 1 && rule->normalIndex >= 0);
}

SettingRef MethaneSetting(int row, int column) {
  if (!MethaneCellEditable(row, column)) return {};
  const MethaneRow& rule = *MethaneRowAt(row);
  return {rule.setting, column == 1 ? rule.normalIndex : rule.eliminationIndex};
}

EditCheck CheckMethaneCell(int row, int column, std::string_view text) {
  if (!MethaneCellEditable(row, column)) return EditCheck::Refuse(std::string(kNotEditable));
  const MethaneRow& rule = *MethaneRowAt(row);
  return CheckWholeNumber(text, rule.lowest, rule.highest).Of(MethaneSetting(row, column));
}

}  // namespace kv::rules
