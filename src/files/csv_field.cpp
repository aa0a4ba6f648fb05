#include "files/csv_field.h"

namespace kv::csv {

std::string CsvField(std::string_view text, Formulas formulas) {
  std::string field;
  if (formulas == Formulas::Guard && !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
    field = "'";
  }
  field += text;
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace kv::csv
