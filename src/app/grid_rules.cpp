#include "app/grid_rules.h"

#include "qtedge/latin1.h"
#include "app/settings_grid.h"

namespace kv {

std::string CellText(const SettingsGrid& grid, int row, int col) {
  return ToLatin1(grid.Text(row, col));
}

}  // namespace kv
