#include "app/grid_rules.h"

#include "app/settings_grid.h"

namespace kv {

std::string ToLatin1(const QString& text) { return text.toLatin1().toStdString(); }

QString FromLatin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string CellText(const SettingsGrid& grid, int row, int col) {
  return ToLatin1(grid.Text(row, col));
}

}  // namespace kv
