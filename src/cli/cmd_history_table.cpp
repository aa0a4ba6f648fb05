#include "cli/cmd_history_table.h"

#include <algorithm>

namespace kv::cli {
namespace {

// One line: each run of control characters (tabs, line ends) as one space.
std::string OneLine(const std::string& text) {
  std::string line;
  bool space = false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      space = true;
      continue;
    }
    if (space && !line.empty()) line += ' ';
    space = false;
    line += c;
  }
  return line;
}

}  // namespace

std::string EscapedField(const std::string& text) {
  std::string field;
  for (const char c : text) {
    switch (c) {
      case '\t': field += "\\t"; break;
      case '\n': field += "\\n"; break;
      case '\r': field += "\\r"; break;
      case '\\': field += "\\\\"; break;
      default: field += c;
    }
  }
  return field;
}

std::string SeparatedLine(const TableRow& row) {
  std::string line;
  for (std::size_t c = 0; c < row.size(); ++c) line += (c == 0 ? "" : "\t") + EscapedField(row[c]);
  return line + "\n";
}

std::string DetailCell(const std::string& detail) {
  const auto first = detail.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "-";
  if (detail[first] == '{' || detail[first] == '[') return "(details in --json)";
  return detail;
}

std::string TableText(const TableRow& header, const std::vector<TableRow>& rows, bool aligned) {
  std::string out;
  if (!aligned) {
    out = SeparatedLine(header);
    for (const TableRow& row : rows) out += SeparatedLine(row);
    return out;
  }
  std::vector<TableRow> cells{header};
  for (const TableRow& row : rows) {
    TableRow line;
    for (const std::string& cell : row) line.push_back(OneLine(cell));
    cells.push_back(std::move(line));
  }
  std::vector<std::size_t> widths(header.size(), 0);
  for (const TableRow& row : cells) {
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  for (const TableRow& row : cells) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line += std::string(widths[c] - row[c].size() + 2, ' ');
    }
    out += line + "\n";
  }
  return out;
}

}  // namespace kv::cli
