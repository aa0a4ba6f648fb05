// The checks of the CSV tables, through the grids' own rules.
#include <vector>

#include "files/csv_tables.h"
#include "rules/pid_rules.h"
#include "rules/pid_scales.h"
#include "rules/table_rules.h"

namespace kv::csv {
namespace {

constexpr int kPidCsvEntry = 16;

void Mark(CsvCell& cell, const rules::EditCheck& check, bool rewrite) {
  cell.valid = check.accepted;
  cell.reason = check.accepted ? std::string{} : check.reason;
  cell.adjusted = check.accepted ? check.adjusted : std::string{};
  if (check.accepted && rewrite) cell.text = check.text;
}

// The texts of a row (index = column): every cell is judged against the row
// as it stood before any rewrite.
template <typename Texts>
Texts RowTexts(const CsvRow& row) {
  Texts texts{};
  for (std::size_t c = 0; c < texts.size() && c < row.size(); ++c) texts[c] = row[c].text;
  return texts;
}

}  // namespace

void CheckCells(CsvCells& cells) {
  for (std::size_t r = 0; r < cells.rows.size(); ++r) {
    CsvRow& row = cells.rows[r];
    const int index = static_cast<int>(r);
    switch (cells.table) {
      case CsvTable::Stations:
      case CsvTable::Users: {
        const rules::NameList list =
            cells.table == CsvTable::Stations ? rules::NameList::Station : rules::NameList::User;
        if (row.size() > 1) Mark(row[1], rules::CheckListName(list, index, row[1].text), false);
        break;
      }
      case CsvTable::PidHigh:
      case CsvTable::PidLow: {
        const int range =
            cells.table == CsvTable::PidHigh ? rules::kPidHighRange : rules::kPidLowRange;
        const auto checks =
            rules::CheckPidRow(range, kPidCsvEntry, RowTexts<rules::PidRowTexts>(row));
        for (std::size_t c = 1; c < checks.size() && c < row.size(); ++c) Mark(row[c], checks[c], true);
        break;
      }
      case CsvTable::Conversion:
      {
        const auto texts = RowTexts<rules::ConversionRowTexts>(row);
        for (std::size_t c = 1; c < texts.size() && c < row.size(); ++c) {
          Mark(row[c], rules::CheckUserConversionCell(index + 1, texts, static_cast<int>(c)), true);
        }
      }
        break;
    }
  }
}

CellPosition FirstInvalidCell(const CsvCells& cells) {
  for (std::size_t r = 0; r < cells.rows.size(); ++r) {
    for (std::size_t c = 0; c < cells.rows[r].size(); ++c) {
      if (!cells.rows[r][c].valid) return {static_cast<int>(r), static_cast<int>(c)};
    }
  }
  return {};
}

std::vector<CsvCells> CheckedBeforeExport(const clsInstrument& record, CsvTable table) {
  if (!ShapeOf(table).checkedBeforeExport) return {};
  const bool pid = table == CsvTable::PidHigh || table == CsvTable::PidLow;
  std::vector<CsvCells> checked;
  for (const CsvTable part : pid ? std::vector{CsvTable::PidHigh, CsvTable::PidLow}
                                 : std::vector{table}) {
    checked.push_back(CellsOf(record, part));
  }
  return checked;
}

std::string ExportBlockedBy(const clsInstrument& record, CsvTable table) {
  return BlockingCell(CheckedBeforeExport(record, table)).empty() ? std::string()
                                                                  : std::string(ShapeOf(table).title);
}

std::string CellName(CsvTable table, int row, int column) {
  return "row " + std::to_string(GridRowOf(table, row)) + ", column " + std::to_string(column) +
         " (" + std::string(ColumnName(table, column)) + ")";
}

std::string BlockingCell(std::vector<CsvCells> tables) {
  for (CsvCells& cells : tables) {
    CheckCells(cells);
    const CellPosition at = FirstInvalidCell(cells);
    if (at.row < 0) continue;
    const CsvCell& cell =
        cells.rows[static_cast<std::size_t>(at.row)][static_cast<std::size_t>(at.column)];
    const bool pid = cells.table == CsvTable::PidHigh || cells.table == CsvTable::PidLow;
    const std::string range = !pid ? "" : cells.table == CsvTable::PidHigh ? "High Range " : "Low Range ";
    return range + CellName(cells.table, at.row, at.column) + ": \"" + cell.text + "\" " + cell.reason;
  }
  return {};
}

}  // namespace kv::csv
