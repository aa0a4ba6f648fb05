// Export and import of the CSV tables.
#include <algorithm>
#include <sstream>

#include "files/csv_tables.h"
#include "protocol/token.h"

namespace kv::csv {
namespace {

// Fields past the ones the table expects belong to the long name (or, in the
// lists, to the name): they were commas inside it.
void FillRow(CsvTable table, const std::vector<std::string>& fields, CsvRow& row) {
  const auto field = [&fields](std::size_t i) { return i < fields.size() ? fields[i] : std::string{}; };
  const std::size_t columns = row.size();
  if (table == CsvTable::Stations || table == CsvTable::Users) {
    std::string name = field(1);
    for (std::size_t i = 2; i < fields.size(); ++i) name += "," + fields[i];
    row[1].text = name;
    return;
  }
  // Field 0 is the row number, ignored; fields expected: the number and columns 1..last.
  const std::size_t expected = columns;
  std::string longName = field(2);
  std::size_t next = 3;
  if (fields.size() > expected) {
    const std::size_t surplus = fields.size() - expected;
    for (std::size_t i = 3; i < 3 + surplus; ++i) longName += "," + fields[i];
    next = 3 + surplus;
  }
  row[1].text = field(1);
  row[2].text = longName;
  for (std::size_t c = 3; c < columns; ++c, ++next) row[c].text = field(next);
}

// One line without its end (LF, CR LF); false at the end of the input. A line
// longer than the bound is read no further and reported through `tooLong`.
bool ReadBoundedLine(std::istream& in, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  std::streambuf* buffer = in.rdbuf();
  if (buffer == nullptr) return false;
  int next = buffer->sbumpc();
  if (next == std::char_traits<char>::eof()) return false;
  while (next != std::char_traits<char>::eof() && next != '\n') {
    if (line.size() >= kMaxCsvLineBytes) {
      tooLong = true;
      return true;
    }
    line.push_back(static_cast<char>(next));
    next = buffer->sbumpc();
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool IsSeparator(char c) { return c == ',' || c == '\t'; }

// The first field of a line, without the blanks around it.
std::string FirstField(const std::string& line) {
  std::string field(line.begin(), std::find_if(line.begin(), line.end(), IsSeparator));
  field.erase(0, std::min(field.size(), field.find_first_not_of(' ')));
  field.erase(field.find_last_not_of(' ') + 1);
  return field;
}

bool IsEntryNumber(const std::string& field) {
  return !field.empty() &&
         std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Why the lines are not a table this reader may take, or "" when they are:
// no separator in any line while some line holds more than an entry number
// (another separator would make each line one blank entry), or a first line
// that does not start with an entry number (a header would become entry 1
// and push every entry down one).
std::string ShapeRefusal(const std::vector<std::string>& lines) {
  const bool separated = std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return std::any_of(line.begin(), line.end(), IsSeparator);
  });
  const bool onlyNumbers = std::all_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.empty() || IsEntryNumber(FirstField(line));
  });
  if (!separated && !onlyNumbers) return "not comma-separated: no line has a comma";
  if (lines.empty() || lines.front().empty()) return {};
  const std::string first = FirstField(lines.front());
  if (!IsEntryNumber(first)) {
    return "line 1 looks like a header, not a table line: it starts with \"" + first +
           "\", not an entry number";
  }
  return {};
}

}  // namespace

std::string ExportCsv(const CsvCells& cells) {
  std::string bytes;
  for (const CsvRow& row : cells.rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) bytes += ',';
      bytes += row[c].text;
    }
    bytes += "\r\n";
  }
  return bytes;
}

CsvImport ImportCsv(std::istream& in, CsvCells& cells) {
  CsvImport result;
  std::vector<std::string> lines;
  std::string line;
  bool tooLong = false;
  std::size_t total = 0;
  while (lines.size() < cells.rows.size() && ReadBoundedLine(in, line, tooLong)) {
    total += line.size() + 1;
    if (total > kMaxCsvFileBytes) {
      result = {false, "the file is larger than " + std::to_string(kMaxCsvFileBytes / 1024) +
                           " KiB, far more than any table", {}};
      break;
    }
    if (tooLong) {
      result = {false, "line " + std::to_string(lines.size() + 1) + " is longer than " +
                           std::to_string(kMaxCsvLineBytes) + " bytes", {}};
      break;
    }
    lines.push_back(line);
  }
  // A file read in the wrong shape would move or blank every entry: refused whole.
  if (const std::string refusal = ShapeRefusal(lines); !refusal.empty()) {
    return {false, refusal, {}, true};
  }
  clsToken token;
  token.ClearComments();
  token.ClearDelimiters();
  token.ClearStrings();
  token.AddDelimiters(",");
  token.AddDelimiters("\t");
  for (std::size_t row = 0; row < lines.size(); ++row) {
    if (!token.SetSource(lines[row])) {
      result = {false, "line " + std::to_string(row + 1) + " has more than 129 fields",
                result.importedRows};
      break;
    }
    std::vector<std::string> fields;
    for (int i = 0; i < token.TokenCount(); ++i) {
      fields.push_back(token.Tokens(i));
      (void)token.SetTokens(i, "");
    }
    FillRow(cells.table, fields, cells.rows[row]);
    result.importedRows.push_back(static_cast<int>(row));
  }
  CheckCells(cells);
  return result;
}

CsvImport ImportCsvText(std::string_view content, CsvCells& cells) {
  std::istringstream in{std::string(content)};
  return ImportCsv(in, cells);
}

}  // namespace kv::csv
