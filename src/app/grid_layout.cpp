#include "qtedge/latin1.h"
#include "app/grid_layout.h"

#include <array>

namespace kv {

void FillGrid(SettingsGrid& grid, const GridLayout& layout, const clsInstrument& record) {
  grid.Reset(layout.rows, layout.cols, layout.fixedRows, layout.fixedCols);
  if (layout.fixedRows > 0) {
    for (int col = 0; col < static_cast<int>(layout.captions.size()); ++col) {
      grid.SetCaption(0, col, layout.captions[col]);
    }
  }
  for (int row = layout.fixedRows; row < layout.rows; ++row) {
    for (int col = 0; col < static_cast<int>(layout.columns.size()); ++col) {
      if (layout.columns[col]) grid.SetCell(row, col, layout.columns[col](record, row));
    }
  }
  grid.StretchAllColumns();
}

QString SlotName(const clsInstrument& record, int slot) {
  static const std::array<QString, 4> kFixedNames = {QString(), QStringLiteral("OXY"),
                                                     QStringLiteral("H2S"), QStringLiteral("CO ")};
  if (IsFixedSensor(slot)) return kFixedNames[static_cast<std::size_t>(slot)];
  const Text name = record.GasName(slot);
  return ToQString(name);
}

}  // namespace kv
