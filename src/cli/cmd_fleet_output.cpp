#include "cli/cmd_fleet_output.h"

#include "cli/json_text.h"
#include "files/csv_field.h"

namespace kv::cli {
namespace {

std::string JsonRow(const FleetRow& row, const std::string& indent) {
  std::string out = indent + "{";
  for (std::size_t i = 0; i < row.size(); ++i) {
    const FleetCell& cell = row[i];
    out += (i == 0 ? "" : ", ") + JsonString(cell.name) + ": " +
           (cell.null ? "null" : cell.number ? cell.value : JsonString(cell.value));
  }
  return out + "}";
}

}  // namespace

std::string FleetTable(const std::vector<FleetRow>& rows, const std::vector<std::string>& columns,
                       const std::vector<std::pair<std::string, int>>& summary, const std::string& summaryLine,
                       FleetFormat format) {
  std::string out;
  if (format == FleetFormat::Json) {
    out = "{\"instruments\": [";
    for (std::size_t i = 0; i < rows.size(); ++i) out += (i == 0 ? "\n" : ",\n") + JsonRow(rows[i], "  ");
    out += rows.empty() ? "],\n" : "\n],\n";
    out += "\"summary\": {";
    for (std::size_t i = 0; i < summary.size(); ++i) {
      out += (i == 0 ? "" : ", ") + JsonString(summary[i].first) + ": " + std::to_string(summary[i].second);
    }
    return out + "}}\n";
  }
  const std::string separator = format == FleetFormat::Csv ? "," : "\t";
  for (std::size_t i = 0; i < columns.size(); ++i) out += (i == 0 ? "" : separator) + columns[i];
  out += "\n";
  for (const FleetRow& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      const std::string value = row[i].null ? (format == FleetFormat::Csv ? "" : "-") : row[i].value;
      out += (i == 0 ? "" : separator) + (format == FleetFormat::Csv ? csv::CsvField(value) : value);
    }
    out += "\n";
  }
  if (format == FleetFormat::Text) out += summaryLine + "\n";
  return out;
}

}  // namespace kv::cli
