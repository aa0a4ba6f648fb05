// The export and import buttons of the station and user lists, the PID
// sensor tables and the user defined conversion table. The files layer does
// the work (src/files/csv_tables.h); here the grids give and take the cells.
#include <algorithm>
#include <fstream>

#include "app/app_messages.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/settings_grid.h"
#include "app/settings_tabs.h"
#include "common/messages.h"
#include "files/csv_tables.h"
#include "files/file_sink.h"
#include "qtedge/data_folder.h"
#include "qtedge/latin1.h"

namespace kv {
namespace {

QString CsvFilter() { return QStringLiteral("Comma separated (*.csv);;All files (*.*)"); }

QString Title() { return ToQString(std::string(MessageText(msg::kProgramTitle))); }

// The cells of the rows a CSV file holds, as the grid shows them.
csv::CsvCells GridCells(const SettingsGrid& grid, csv::CsvTable table) {
  csv::CsvCells cells = csv::CellsOf(clsInstrument{}, table);
  for (std::size_t r = 0; r < cells.rows.size(); ++r) {
    const int row = csv::GridRowOf(table, static_cast<int>(r));
    for (std::size_t c = 1; c < cells.rows[r].size(); ++c) {
      cells.rows[r][c].text = ToLatin1(grid.Text(row, static_cast<int>(c)));
    }
  }
  return cells;
}

// Shows the imported rows' texts; invalid cells are marked with their reason.
void ShowCells(SettingsGrid& grid, const csv::CsvCells& cells) {
  for (std::size_t r = 0; r < cells.rows.size(); ++r) {
    const int row = csv::GridRowOf(cells.table, static_cast<int>(r));
    for (std::size_t c = 1; c < cells.rows[r].size(); ++c) {
      const int col = static_cast<int>(c);
      const csv::CsvCell& cell = cells.rows[r][c];
      const QString text = ToQString(cell.text);
      if (grid.Text(row, col) != text) {
        const QVariant before = grid.Value(row, col);
        const std::optional<double> number = csv::CellNumber(cell.text);
        QVariant value = before;
        if (before.typeId() == QMetaType::QString) {
          value = text;
        } else if (cell.valid && number) {
          value = *number;
        }
        grid.SetEditedCell(row, col, text, value);
      }
      grid.MarkInvalid(row, col, cell.valid ? QString() : ToQString(cell.reason));
    }
  }
}

// Each imported cell whose value the table changed (a level rounded to its
// step): "row 1, column 4 (1st): 150 becomes 200: levels go in steps of 100".
std::vector<std::string> AdjustedCells(const csv::CsvCells& cells, const std::vector<int>& importedRows) {
  std::vector<std::string> changes;
  for (const int row : importedRows) {
    const csv::CsvRow& cellRow = cells.rows[static_cast<std::size_t>(row)];
    for (std::size_t c = 1; c < cellRow.size(); ++c) {
      if (cellRow[c].adjusted.empty()) continue;
      const int column = static_cast<int>(c);
      changes.push_back("row " + std::to_string(csv::GridRowOf(cells.table, row)) + ", column " +
                        std::to_string(column) + " (" +
                        std::string(csv::ColumnName(cells.table, column)) + "): " +
                        cellRow[c].adjusted);
    }
  }
  return changes;
}

// After an import the name column fits its longest name, less 100 twips
// (1/1440 inch each) of the fitting's margin but never narrower than the
// longest name itself. A column that fits in the grid keeps filling it.
void WidenNameColumn(SettingsGrid& grid) {
  constexpr int kNameColumn = 1;
  constexpr int kMarginTwips = 100;
  constexpr int kTwipsPerInch = 1440;
  const int column = kNameColumn - grid.FixedCols();
  grid.SetColumnFixedWidth(kNameColumn, 0);
  grid.resizeColumnToContents(column);
  const int fitted = grid.columnWidth(column);
  const int margin = grid.logicalDpiX() * kMarginTwips / kTwipsPerInch;
  int longestName = 0;
  for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
    longestName = std::max(longestName, grid.fontMetrics().horizontalAdvance(grid.Text(row, kNameColumn)));
  }
  const int width = fitted >= margin ? std::max(fitted - margin, longestName) : fitted;
  if (width <= grid.viewport()->width()) {
    grid.SetColumnStretch(kNameColumn);
  } else {
    grid.SetColumnFixedWidth(kNameColumn, width);
  }
}

}  // namespace

void frmMain::ExportTable(csv::CsvTable table) {
  SettingsGrid* grid = SSTab1->GridOf(table);
  if (grid == nullptr) return;
  const csv::TableShape& shape = csv::ShapeOf(table);
  if (shape.checkedBeforeExport) {
    const bool pid = table == csv::CsvTable::PidHigh || table == csv::CsvTable::PidLow;
    const auto& pidGrids = SSTab1->PidGrids();
    const bool red = pid ? pidGrids[0]->HasInvalidCell() || pidGrids[1]->HasInvalidCell()
                         : grid->HasInvalidCell();
    // The check kvmaint export-csv makes, on the cells as the grids show them.
    const std::string blockingCell =
        csv::BlockingCell(pid ? std::vector{GridCells(*pidGrids[0], csv::CsvTable::PidHigh),
                                            GridCells(*pidGrids[1], csv::CsvTable::PidLow)}
                              : std::vector{GridCells(*grid, table)});
    if (red || !blockingCell.empty()) {
      const std::string improper = FormatMessage(msg::kImproperData, {std::string(shape.title)});
      services_.dialogs->Critical(
          Title(), ToQString(blockingCell.empty() ? improper : improper + ": " + blockingCell));
      return;
    }
  }
  const QString path =
      services_.dialogs->SaveFile(CsvFilter(), ToQString(std::string(shape.fileName)));
  if (path.isEmpty()) {
    AppendMessage(msg::kExportCancelled, info_colour::kFailure);
    return;
  }
  AtomicFileSink sink(ToFsPath(path).string());
  if (!sink.Write(csv::ExportCsv(GridCells(*grid, table))) || !sink.Commit()) {
    services_.dialogs->Critical(Title(), ToQString(sink.Error()));
    return;
  }
  services_.dialogs->Show(Dialogs::Icon::Information, Title(), tr("Export Complete"));
}

void frmMain::ImportTable(csv::CsvTable table) {
  SettingsGrid* grid = SSTab1->GridOf(table);
  if (grid == nullptr) return;
  const QString path = services_.dialogs->OpenFile(CsvFilter());
  if (path.isEmpty()) return;
  std::ifstream in(ToFsPath(path), std::ios::binary);
  csv::CsvCells cells = GridCells(*grid, table);
  const csv::CsvImport imported =
      in ? csv::ImportCsv(in, cells) : csv::CsvImport{false, "cannot be opened", {}};
  ShowCells(*grid, cells);
  for (const std::string& change : AdjustedCells(cells, imported.importedRows)) {
    AppendMessage(msg::kChangedOnImport, info_colour::kFailure, {change});
  }
  csv::FlagImportedRows(table, imported.importedRows, editInstrument_);
  if (table == csv::CsvTable::Stations || table == csv::CsvTable::Users) WidenNameColumn(*grid);
  if (!imported.complete) {
    services_.dialogs->Critical(
        Title(), ToQString(std::string(MessageText(msg::kImproperFile)) + "\n" + imported.error));
  }
}

}  // namespace kv
