#pragma once
// The three forms kvmaint fleet prints a table in: tab-separated text with
// a header, JSON ({"instruments": [...], "summary": {...}}) and CSV.
#include <string>
#include <utility>
#include <vector>

namespace kv::cli {

enum class FleetFormat { Text, Json, Csv };

// One row: each column's name and value; a value is JSON null when `null`.
struct FleetCell {
  std::string name;
  std::string value;
  bool null = false;
  bool number = false;  // JSON: written without quotes
};
using FleetRow = std::vector<FleetCell>;

// The rows in `format`, with the summary line (text), object (JSON) or
// nothing (CSV). Every row has the same columns.
std::string FleetTable(const std::vector<FleetRow>& rows, const std::vector<std::string>& columns,
                       const std::vector<std::pair<std::string, int>>& summary, const std::string& summaryLine,
                       FleetFormat format);

}  // namespace kv::cli
