#pragma once
// The tables the window and kvmaint exchange as CSV files: the station and
// user lists, the last entry of each PID sensor table and the user-defined
// conversion table. A table is held as the texts of its grid cells; export
// turns them into file bytes, import turns file bytes back into cell texts,
// the check marks each cell valid or not, and the store writes the imported
// rows into the record with their change flags.
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/instrument.h"

namespace kv::csv {

enum class CsvTable { Stations, Users, PidHigh, PidLow, Conversion };

struct CsvCell {
  std::string text;
  bool valid = true;
  std::string reason;  // invalid: what the cell accepts
  // Valid, but the value kept is not the one in the file: "15 becomes 0: ...".
  std::string adjusted;
  bool operator==(const CsvCell&) const = default;
};

// One grid row; index = grid column, column 0 is the entry number.
using CsvRow = std::vector<CsvCell>;

struct CsvCells {
  CsvTable table = CsvTable::Stations;
  std::vector<CsvRow> rows;  // only the rows a CSV file holds
};

struct TableShape {
  int rows;                     // lines of an exported file, most lines imported
  int columns;                  // grid columns, column 0 included
  int firstRowNumber;           // the number an exported file gives its first line
  std::string_view fileName;    // the suggested file name
  std::string_view title;       // what "Improper data found  ( ~1 )" names
  bool checkedBeforeExport;     // whether an invalid cell blocks the export
};
const TableShape& ShapeOf(CsvTable table);

// The grid's header text of a column ("Name", "Long Name", "FullScale" ...).
std::string_view ColumnName(CsvTable table, int column);

// The grid row number of a CSV row (stations and users from 0, the PID row 17,
// conversion rows from 1).
int GridRowOf(CsvTable table, int row);

// The cells as the grid shows the record.
CsvCells CellsOf(const clsInstrument& record, CsvTable table);

// Marks every cell and rewrites accepted ones as the grid shows them.
void CheckCells(CsvCells& cells);
// The first invalid cell, or nullptr.
struct CellPosition {
  int row = -1;
  int column = -1;
};
CellPosition FirstInvalidCell(const CsvCells& cells);

// The title of "Improper data found  ( ~1 )" when an invalid cell of the
// record blocks the export of the table (both PID ranges block either
// range's export); empty when the table may be exported.
std::string ExportBlockedBy(const clsInstrument& record, CsvTable table);
// The tables of the record an export of `table` checks first (none for the lists).
std::vector<CsvCells> CheckedBeforeExport(const clsInstrument& record, CsvTable table);
// The first cell of `tables` the check refuses, with its text and why:
// "High Range row 17, column 1 (Name): "" ..."; empty when every cell passes.
std::string BlockingCell(std::vector<CsvCells> tables);

// "row 1, column 4 (1st)": a cell as the grid numbers it.
std::string CellName(CsvTable table, int row, int column);

// The exact bytes of an exported file: one CR LF ended line per row.
std::string ExportCsv(const CsvCells& cells);

inline constexpr std::size_t kMaxCsvLineBytes = 32767;  // longer lines are refused
// The largest table is a few KiB; a file past this is refused.
inline constexpr std::size_t kMaxCsvFileBytes = 1024 * 1024;

struct CsvImport {
  bool complete = true;          // false: "Improper file"; rows already read stay
  std::string error;             // why it was not complete
  std::vector<int> importedRows; // indexes into cells.rows, whose entries are flagged
  // The file is not a table in this shape (a header line, another separator):
  // nothing was read from it, and --keep-invalid does not take it either.
  bool refusedWhole = false;
};
// Reads at most ShapeOf(table).rows lines into the cells, then checks them;
// stops with an error once more than kMaxCsvFileBytes have been read.
CsvImport ImportCsv(std::istream& in, CsvCells& cells);
CsvImport ImportCsvText(std::string_view content, CsvCells& cells);

// Writes the imported rows into the record and flags their entries as
// changed. An invalid cell's value is written where the setting can hold it
// (names as they are); a number that does not read leaves the setting alone.
// The value a shown number, resolution, mode or "*****" stands for.
std::optional<double> CellNumber(const std::string& text);
// Flags the record entries of the imported rows as changed.
void FlagImportedRows(CsvTable table, const std::vector<int>& importedRows, clsInstrument& record);

void StoreImportedRows(const CsvCells& cells, const std::vector<int>& importedRows,
                       clsInstrument& record);

}  // namespace kv::csv
