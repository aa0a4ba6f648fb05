// The settings view's identity and per-gas groups: alarm levels, gas names
// and ratios, channel mapping, gas options, methane elimination.
#include <algorithm>
#include <array>

#include "rules/settings_view_parts.h"

namespace kv::view {
namespace {

struct ViewText {
  std::string operator()(std::monostate) const { return {}; }
  std::string operator()(bool v) const { return v ? "True" : "False"; }
  std::string operator()(std::int64_t v) const { return std::to_string(v); }
  std::string operator()(float v) const { return PlainNumber(v); }
  std::string operator()(const std::string& v) const { return v; }
};

// A scalar setting of the record under its own caption.
ViewCell SettingCell(const clsInstrument& record, std::string_view name) {
  const SettingInfo* found = FindSetting(name);
  if (found == nullptr) return UnusedCell(std::string(name));
  ViewValue value = ToViewValue(found->get(record, 0));
  std::string text = std::visit(ViewText{}, value);
  return Cell(std::string(found->caption), std::move(value), std::move(text));
}

template <typename MakeCells>
std::vector<ViewEntry> SlotRows(const clsInstrument& record, MakeCells cells) {
  std::vector<ViewEntry> rows;
  for (int slot = 0; slot < kSensorChannels; ++slot) {
    rows.push_back({SlotCaption(slot), cells(record, slot)});
  }
  return rows;
}

}  // namespace

std::vector<ViewEntry> IdentityEntries(const clsInstrument& record) {
  ViewEntry entry;
  for (const std::string_view name :
       {"SerialNo", "StationID", "UserID", "RomNumber", "SUM", "SysDate", "Intervals"}) {
    entry.cells.push_back(SettingCell(record, name));
  }
  return {entry};
}

std::vector<ViewEntry> AlarmLevelEntries(const clsInstrument& record) {
  return SlotRows(record, [](const clsInstrument& r, int slot) {
    const int places = r.GasPoint(slot);
    const Text unit = r.GasUnit(slot);
    return std::vector<ViewCell>{
        TextCell("Gas", SlotName(r, slot)),
        TextCell("Unit", unit),
        LevelCell("Full Scale", r.GasFullScale(slot), places, unit),
        LevelCell("Warning", r.Warning(slot), places, unit),
        LevelCell("Alarm", r.Alarm(slot), places, unit),
        LevelCell("STEL", r.Stel(slot), places, unit),
        LevelCell("TWA", r.Twa(slot), places, unit),
        LevelCell("Span", r.AutoCalib(slot), places, unit),
    };
  });
}

std::vector<ViewEntry> GasNameEntries(const clsInstrument& record) {
  return SlotRows(record, [](const clsInstrument& r, int slot) {
    std::vector<ViewCell> cells;
    // The fixed sensors show their fixed names in unused cells.
    cells.push_back(IsFixedSensor(slot) ? Cell("Name", std::monostate{}, SlotName(r, slot))
                                        : TextCell("Name", r.GasName(slot)));
    cells.push_back(IsFixedSensor(slot) ? UnusedCell("Long Name")
                                        : TextCell("Long Name", r.G1_(slot == 0 ? 0 : slot - 2)));
    // Only the catalytic row describes a second ("Other") gas and the ratios.
    const bool catalytic = slot == 0;
    cells.push_back(catalytic ? NumberCell("Ratio", r.FL_(0)) : UnusedCell("Ratio"));
    cells.push_back(catalytic ? TextCell("Other", r.CATOther()) : UnusedCell("Other"));
    cells.push_back(catalytic ? TextCell("Other Long Name", r.G1_(1))
                              : UnusedCell("Other Long Name"));
    cells.push_back(catalytic ? NumberCell("Other Ratio", r.FL_(1)) : UnusedCell("Other Ratio"));
    return cells;
  });
}

std::vector<ViewEntry> ChannelMappingEntries(const clsInstrument& record) {
  return SlotRows(record, [](const clsInstrument& r, int slot) {
    std::vector<ViewCell> cells{Cell("Gas", std::monostate{}, SlotName(r, slot))};
    // Bit c of the slot's mask assigns the slot to display channel c.
    const auto mask = static_cast<unsigned>(static_cast<std::uint16_t>(r.UG_(slot)));
    for (int channel = 0; channel < 6; ++channel) {
      cells.push_back(CheckCell("Ch" + std::to_string(channel + 1), ((mask >> channel) & 1U) != 0));
    }
    return cells;
  });
}

std::vector<ViewEntry> GasOptionEntries(const clsInstrument& record) {
  return SlotRows(record, [](const clsInstrument& r, int slot) {
    return std::vector<ViewCell>{
        Cell("Gas", std::monostate{}, SlotName(r, slot)),
        // Only the fixed sensors have an alternate range; oxygen has no zero follower.
        IsFixedSensor(slot) ? CheckCell("Alternate Ranges", r.AltRng(slot) == 1)
                            : UnusedCell("Alternate Ranges"),
        slot == 1 ? UnusedCell("Zero Follower") : CheckCell("Zero Follower", r.Zero(slot) == 1),
        slot <= 1 ? UnusedCell("Zero Suppress") : NumberCell("Zero Suppress", r.ZeroForce(slot)),
    };
  });
}

std::vector<ViewEntry> MethaneEliminationEntries(const clsInstrument& record) {
  static constexpr std::array<const char*, 3> kPairs = {"EV", "D/A", "CAT D/A"};
  using Table = Integer (clsInstrument::*)(int) const;
  static constexpr std::array<Table, 3> kTables = {&clsInstrument::HH_, &clsInstrument::HE_,
                                                   &clsInstrument::RP_};
  std::vector<ViewEntry> rows;
  for (std::size_t i = 0; i < kPairs.size(); ++i) {
    rows.push_back({kPairs[i],
                    {NumberCell("Normal", (record.*kTables[i])(0)),
                     NumberCell("Methane Elimination", (record.*kTables[i])(1))}});
  }
  // The four SI values stand in the methane-elimination column only.
  static constexpr std::array<const char*, 4> kZeroSpan = {"ME ZERO L", "ME ZERO M", "ME ZERO H",
                                                           "ME SPAN"};
  for (std::size_t i = 0; i < kZeroSpan.size(); ++i) {
    rows.push_back({kZeroSpan[i],
                    {UnusedCell("Normal"),
                     NumberCell("Methane Elimination", record.SI_(static_cast<int>(i)))}});
  }
  return rows;
}

}  // namespace kv::view
