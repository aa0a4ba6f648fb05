// Layouts of the per-gas grids: names and ratios, channel mapping, range and
// zero options, methane elimination.
#include <array>

#include "qtedge/latin1.h"
#include "app/grid_layout.h"
#include "protocol/format_gas_value.h"

namespace kv {
namespace {

// A source that only the catalytic row (row 1) fills; the other rows say "-----".
CellSource CatalyticRowOnly(CellContent (*fill)(const clsInstrument&)) {
  return [fill](const clsInstrument& r, int row) { return row == 1 ? fill(r) : DashesCell(); };
}

CellContent RowCaption(const std::array<const char*, kGasSlots>& captions, int row) {
  const int slot = SlotOfRow(row);
  if (slot < 0 || slot >= kGasSlots) return UnusedCell();
  return UnusedCell(QString::fromLatin1(captions[static_cast<std::size_t>(slot)]));
}

constexpr std::array<const char*, kGasSlots> kSlotCaptions = {"STD1", "STD2", "STD3", "STD4",
                                                             "OPT1", "OPT2", "OPT3"};

CellContent SlotNameCaption(const clsInstrument& r, int row) {
  return UnusedCell(SlotName(r, SlotOfRow(row)));
}

}  // namespace

const GridLayout& GasNameLayout() {
  static const GridLayout layout{
      8, 7, 1, 1,
      {"", "Name", "Long Name", "Ratio", "Other", "Other Long Name", "Ratio"},
      {
          [](const clsInstrument&, int row) { return RowCaption(kSlotCaptions, row); },
          // Name: the fixed sensors show their fixed names in unused cells.
          [](const clsInstrument& r, int row) {
            const int slot = SlotOfRow(row);
            if (IsFixedSensor(slot)) return UnusedCell(SlotName(r, slot));
            return TextCell(r.GasName(slot));
          },
          // Long Name: G1_ 0 for the catalytic gas, G1_ 2..4 for the optional sensors.
          [](const clsInstrument& r, int row) {
            const int slot = SlotOfRow(row);
            if (IsFixedSensor(slot)) return DashesCell();
            return TextCell(r.G1_(slot == 0 ? 0 : slot - 2));
          },
          CatalyticRowOnly([](const clsInstrument& r) { return NumberCell(r.FL_(0)); }),
          CatalyticRowOnly([](const clsInstrument& r) { return TextCell(r.CATOther()); }),
          CatalyticRowOnly([](const clsInstrument& r) { return TextCell(r.G1_(1)); }),
          CatalyticRowOnly([](const clsInstrument& r) { return NumberCell(r.FL_(1)); }),
      }};
  return layout;
}

const GridLayout& ChannelLayout() {
  static const GridLayout layout = [] {
    constexpr int kChannels = 6;
    GridLayout l{8, kChannels + 1, 1, 1, {""}, {SlotNameCaption}};
    for (int channel = 0; channel < kChannels; ++channel) {
      l.captions.push_back(QStringLiteral("Ch%1").arg(channel + 1));
      // Bit c of the slot's mask assigns the slot to display channel c.
      l.columns.push_back([channel](const clsInstrument& r, int row) {
        const auto mask = static_cast<unsigned>(static_cast<std::uint16_t>(r.UG_(SlotOfRow(row))));
        return CheckCell(((mask >> channel) & 1U) != 0);
      });
    }
    return l;
  }();
  return layout;
}

const GridLayout& GasOptionsLayout() {
  static const GridLayout layout{
      8, 4, 1, 1,
      {"", "Alternate Ranges", "Zero Follower", "Zero Suppress"},
      {
          SlotNameCaption,
          // Only the fixed sensors have an alternate range.
          [](const clsInstrument& r, int row) {
            const int slot = SlotOfRow(row);
            return IsFixedSensor(slot) ? CheckCell(r.AltRng(slot) == 1) : UnusedCell();
          },
          // Oxygen has no zero follower.
          [](const clsInstrument& r, int row) {
            const int slot = SlotOfRow(row);
            return slot == 1 ? UnusedCell() : CheckCell(r.Zero(slot) == 1);
          },
          [](const clsInstrument& r, int row) {
            const int slot = SlotOfRow(row);
            return slot <= 1 ? DashesCell() : NumberCell(r.ZeroForce(slot));
          },
      }};
  return layout;
}

const GridLayout& MethaneEliminationLayout() {
  // Rows 1..3 hold a normal and a methane-elimination value, rows 4..7 the
  // four SI values in the second column only.
  static const GridLayout layout{
      8, 3, 1, 1,
      {"", "Normal", "Methane Elimination"},
      {
          [](const clsInstrument&, int row) {
            static constexpr std::array<const char*, kGasSlots> kCaptions = {
                "EV", "D/A", "CAT D/A", "ME ZERO L", "ME ZERO M", "ME ZERO H", "ME SPAN"};
            return RowCaption(kCaptions, row);
          },
          [](const clsInstrument& r, int row) {
            switch (row) {
              case 1: return NumberCell(r.HH_(0));
              case 2: return NumberCell(r.HE_(0));
              case 3: return NumberCell(r.RP_(0));
              default: return DashesCell();
            }
          },
          [](const clsInstrument& r, int row) {
            switch (row) {
              case 1: return NumberCell(r.HH_(1));
              case 2: return NumberCell(r.HE_(1));
              case 3: return NumberCell(r.RP_(1));
              default: return NumberCell(r.SI_(row - 4));
            }
          },
      }};
  return layout;
}

const GridLayout& AlarmLevelLayout() {
  using Level = Single (clsInstrument::*)(int) const;
  // A level of the row's channel with the channel's decimals.
  const auto level = [](Level field) -> CellSource {
    return [field](const clsInstrument& r, int row) {
      const int channel = SlotOfRow(row);
      return GasValueCell((r.*field)(channel), r.GasPoint(channel));
    };
  };
  static const GridLayout layout{
      kGasSlots + 1, 9, 1, 1,
      {"", "Gas", "Unit", "Full Scale", "Warning", "Alarm", "STEL", "TWA", "Span"},
      {
          [](const clsInstrument&, int row) { return RowCaption(kSlotCaptions, row); },
          [](const clsInstrument& r, int row) { return UnusedCell(SlotName(r, SlotOfRow(row))); },
          [](const clsInstrument& r, int row) {
            const Text unit = r.GasUnit(SlotOfRow(row));
            return UnusedCell(ToQString(unit));
          },
          [](const clsInstrument& r, int row) {
            const int channel = SlotOfRow(row);
            return UnusedCell(
                ToQString(FormatGasValue(r.GasFullScale(channel), r.GasPoint(channel))));
          },
          level(&clsInstrument::Warning),
          level(&clsInstrument::Alarm),
          level(&clsInstrument::Stel),
          level(&clsInstrument::Twa),
          level(&clsInstrument::AutoCalib),
      }};
  return layout;
}

}  // namespace kv
