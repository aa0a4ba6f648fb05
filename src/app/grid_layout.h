#pragma once
// Grid layouts as data: a shape, the caption row and one source per column
// that gives the content of the column's cell in a row. One routine fills any
// grid from its layout.
#include <QString>
#include <functional>
#include <vector>

#include "app/settings_grid.h"
#include "model/instrument.h"

namespace kv {

// The content of one column's cell in `row` (whole-table coordinates).
using CellSource = std::function<CellContent(const clsInstrument& record, int row)>;

struct GridLayout {
  int rows = 0;
  int cols = 0;
  int fixedRows = 1;
  int fixedCols = 1;
  std::vector<QString> captions;    // row 0, from column 0 on (fixed rows only)
  std::vector<CellSource> columns;  // one per column; an empty source writes nothing
};

// Clears the grid, gives it the layout's shape and captions, then writes every
// row below the captions column by column.
void FillGrid(SettingsGrid& grid, const GridLayout& layout, const clsInstrument& record);

// Gas slots 0..6 stand in rows 1..7.
inline constexpr int kGasSlots = 7;
inline int SlotOfRow(int row) { return row - 1; }

// The name of a gas slot as the channel and option grids show it: the fixed
// sensors have fixed names ("CO " keeps its blank), the others their gas name.
QString SlotName(const clsInstrument& record, int slot);
// Slots 1..3 are the fixed sensors.
inline bool IsFixedSensor(int slot) { return slot >= 1 && slot <= 3; }

const GridLayout& GasNameLayout();
const GridLayout& ChannelLayout();
const GridLayout& GasOptionsLayout();
const GridLayout& MethaneEliminationLayout();
const GridLayout& StationLayout();
const GridLayout& UserLayout();
const GridLayout& PreDefinedConversionLayout();
const GridLayout& UserConversionLayout();
// range 0 High Range, 1 Low Range
const GridLayout& PidLayout(int range);
// Per sensor channel: gas, unit, full scale (read-only), then the warning,
// alarm, STEL, TWA and span levels.
const GridLayout& AlarmLevelLayout();

}  // namespace kv
