// The CSV importers of every table, on any bytes: they read no more lines
// than the table holds, keep the table's shape, and what they accept survives
// an export and a second import unchanged (unless the row ends in an empty
// field, which a trailing delimiter drops).
//
// Input: one byte choosing the table (modulo 5), then the file's bytes.
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/csv_tables.h"
#include "fuzz_target.h"

namespace {

using kv::csv::CsvTable;

bool SameShape(const kv::csv::CsvCells& cells, CsvTable table) {
  const kv::csv::TableShape& shape = kv::csv::ShapeOf(table);
  if (cells.rows.size() != static_cast<std::size_t>(shape.rows)) return false;
  for (const kv::csv::CsvRow& row : cells.rows) {
    if (row.size() != static_cast<std::size_t>(shape.columns)) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> FuzzSeeds() {
  return {std::string("\x00", 1) + "1,MAIN GATE\r\n2,ALPHA,BETA\r\n3\tTAB\r\n",
          std::string("\x01", 1) + "5,JOE'S\n6,{BAD}\n\n\n",
          std::string("\x02", 1) + "17,ISO,ISOBUTYLENE,1000,1/1,ppm,1,50,100,25,10,100,0.60\r\n",
          std::string("\x03", 1) + "17,BEN,ABC,DEF,10.00,1/100,ppm,0.01,1,2,*****,,5,0.25\r\n",
          std::string("\x04", 1) + "1,HEX,Hexane,2.00,100,200,1000,ME\r\n2,PEN,Pen,tane,3,,,1000,"
                                   "normal\r\n3,,,1.3\r\n4\r\n5,A,B,30,250,350,25000,2.4\r\n6,X\r\n",
          std::string("\x02", 1) + std::string(200, ',') + "\r\n"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto table = static_cast<CsvTable>(static_cast<unsigned char>(input[0]) % 5);
  kv::clsInstrument record;
  kv::csv::CsvCells cells = kv::csv::CellsOf(record, table);
  const kv::csv::CsvImport imported = kv::csv::ImportCsvText(input.substr(1), cells);
  if (!SameShape(cells, table)) std::abort();
  if (imported.importedRows.size() > cells.rows.size()) std::abort();
  if (imported.complete != imported.error.empty()) std::abort();
  kv::csv::StoreImportedRows(cells, imported.importedRows, record);
  (void)kv::csv::ExportBlockedBy(record, table);

  // A second import of the export gives back the cells of every imported row.
  const std::string exported = kv::csv::ExportCsv(cells);
  kv::csv::CsvCells again = kv::csv::CellsOf(kv::clsInstrument{}, table);
  const kv::csv::CsvImport reimported = kv::csv::ImportCsvText(exported, again);
  if (imported.complete && reimported.complete) {
    for (const int row : imported.importedRows) {
      const auto& first = cells.rows[static_cast<std::size_t>(row)];
      const auto& second = again.rows[static_cast<std::size_t>(row)];
      // A trailing delimiter gives no empty field: a row whose last cell is
      // empty or ends in a comma comes back shorter, as in the window.
      const std::string& last = first.back().text;
      if (last.empty() || last.back() == ',') continue;
      for (std::size_t c = 1; c < first.size(); ++c) {
        if (first[c].text != second[c].text) std::abort();
      }
    }
  }
  return 0;
}
