#pragma once
// The tables kvmaint history prints. On a terminal the columns are aligned
// and each cell is one line; otherwise tab-separated with tab, line end and
// backslash escaped as \t, \n, \r and \\, so a file name holding a tab or a
// line end stays one field of one line. A detail that is JSON (the
// calibration history's) is left to --json.
#include <string>
#include <vector>

namespace kv::cli {

using TableRow = std::vector<std::string>;

// `header` then `rows`, aligned for a terminal or tab-separated.
std::string TableText(const TableRow& header, const std::vector<TableRow>& rows, bool aligned);

// One tab-separated line of escaped fields, with its LF.
std::string SeparatedLine(const TableRow& row);

// A tab-separated field with its tab, CR, LF and backslash escaped.
std::string EscapedField(const std::string& text);

// The detail as the table shows it: "-" when empty, a note for JSON.
std::string DetailCell(const std::string& detail);

}  // namespace kv::cli
