#pragma once
// One field of a CSV line as written: quoted when it holds a separator, a
// quote or a line end, its quotes doubled.
#include <string>
#include <string_view>

namespace kv::csv {

enum class Formulas {
  Keep,   // numbers and signs stay as they are (tables read back by programs)
  Guard,  // a field a spreadsheet would take as a formula (=, +, -, @, tab, CR first)
          // starts with a single quote (reports opened by people)
};

std::string CsvField(std::string_view text, Formulas formulas = Formulas::Keep);

}  // namespace kv::csv
