// Writing imported CSV rows into the record.
#include "files/csv_settings.h"
#include "files/csv_tables.h"
#include "rules/pid_scales.h"

namespace kv::csv {
namespace {

constexpr int kPidCsvEntry = 16;
constexpr int kConversionLevelOffset = 30;
constexpr double kNoLevelCode = -121;  // shown "*****"

bool IsTextSetting(const clsInstrument& record, const rules::SettingRef& ref) {
  const std::optional<SettingValue> value = ReadSetting(record, ref);
  return value && std::holds_alternative<Text>(*value);
}

}  // namespace

std::optional<double> CellNumber(const std::string& text) {
  if (text == "*****") return kNoLevelCode;
  if (text == "ME") return 1.0;
  if (text == "Normal") return 0.0;
  const int point = rules::PidPointOf(text);
  if (point >= 0) return point;
  const std::optional<rules::ParsedNumber> parsed = rules::ParseNumber(text);
  if (!parsed) return std::nullopt;
  return parsed->value;
}

namespace {

// "---" and twenty hyphens are how the grid shows an empty name.
std::string NameOfCell(CsvTable table, const std::string& text) {
  if (table == CsvTable::Conversion && (text == "---" || text == std::string(20, '-'))) return {};
  return text;
}

void FlagRow(CsvTable table, int row, clsInstrument& record) {
  switch (table) {
    case CsvTable::Stations:
      record.SetChange_XS_(row, true);
      break;
    case CsvTable::Users:
      record.SetChange_XZ_(row, true);
      break;
    case CsvTable::PidHigh:
    case CsvTable::PidLow:
      record.SetChange_PIDSpec(kPidCsvEntry,
                               table == CsvTable::PidHigh ? rules::kPidHighRange
                                                          : rules::kPidLowRange,
                               true);
      record.SetChange_PIDName(kPidCsvEntry, true);
      break;
    case CsvTable::Conversion:
      record.SetChange_LO_(row, true);
      record.SetChange_LA_(row + kConversionLevelOffset, true);
      break;
  }
}

}  // namespace

void StoreImportedRows(const CsvCells& cells, const std::vector<int>& importedRows,
                       clsInstrument& record) {
  for (const int row : importedRows) {
    if (row < 0 || static_cast<std::size_t>(row) >= cells.rows.size()) continue;
    const CsvRow& cellRow = cells.rows[static_cast<std::size_t>(row)];
    for (std::size_t c = 1; c < cellRow.size(); ++c) {
      const rules::SettingRef ref = SettingOf(cells.table, row, static_cast<int>(c));
      const CsvCell& cell = cellRow[c];
      if (IsTextSetting(record, ref)) {
        (void)WriteSetting(record, ref, NameOfCell(cells.table, cell.text), 0);
        continue;
      }
      const std::optional<double> number = CellNumber(cell.text);
      if (cell.valid && number) (void)WriteSetting(record, ref, {}, *number);
    }
  }
  FlagImportedRows(cells.table, importedRows, record);
}

void FlagImportedRows(CsvTable table, const std::vector<int>& importedRows, clsInstrument& record) {
  for (const int row : importedRows) FlagRow(table, row, record);
}

}  // namespace kv::csv
