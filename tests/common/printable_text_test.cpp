// Names from files and instruments on a terminal: control characters are
// shown as escapes, everything printable (Latin-1 included) as it is.
#include <gtest/gtest.h>

#include "common/printable_text.h"

namespace kv {
namespace {

struct PrintableCase {
  const char* what;
  std::string text;
  bool keepLineBreaks;
  std::string shown;
};

class Printable : public ::testing::TestWithParam<PrintableCase> {};

TEST_P(Printable, EscapesControlCharacters) {
  EXPECT_EQ(PrintableText(GetParam().text, GetParam().keepLineBreaks), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Printable,
    ::testing::Values(
        PrintableCase{"plain", "NORTH GATE", false, "NORTH GATE"},
        PrintableCase{"colour escape", "CO\x1b[31mX", false, "CO\\x1b[31mX"},
        PrintableCase{"carriage return hides what came before", "OK\rBAD", true, "OK\\x0dBAD"},
        PrintableCase{"line break in a name", "A\nB", false, "A\\x0aB"},
        PrintableCase{"line break in a message", "A\nB\tC", true, "A\nB\tC"},
        PrintableCase{"NUL", std::string("A\0B", 3), false, "A\\x00B"},
        PrintableCase{"DEL and C1 CSI", "\x7f\x9b", false, "\\x7f\\x9b"},
        PrintableCase{"Latin-1 letters stay", "\xe9\xa0\xff", false, "\xe9\xa0\xff"},
        PrintableCase{"backslash stays", "A\\B", false, "A\\B"}),
    [](const auto& info) {
      std::string name;
      for (const char c : std::string(info.param.what)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

}  // namespace
}  // namespace kv
