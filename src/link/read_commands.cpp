#include "link/read_commands.h"

#include <string_view>

namespace kv {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

struct FixedRun {
  int first;  // index of the first entry
  std::initializer_list<std::string_view> commands;
};

// Indexed commands: the entry number goes after the head, as one hexadecimal
// digit or as two.
struct IndexedRun {
  int first;
  std::string_view head;
  int count;
  int digits;
};

std::string IndexText(int i, int digits) {
  std::string text;
  if (digits == 2) {
    text += kHexDigits[(i >> 4) & 0xF];
  }
  text += kHexDigits[i & 0xF];
  return text;
}

const FixedRun kFixedRuns[] = {
    {0, {"VP,R,", "SZ,R,", "S1,R,", "IN,R,", "HN,R,", "HC,R,", "US,R,", "AP,R,", "XP,R,", "XI,R,",
         "SD,R,", "SM,R,", "SC,R,", "XL,R,", "XA,R,", "XB,R,", "XW,R,", "XT,R,", "UL,R,", "IT,R,",
         "GJ,R,", "GN,R,", "GP,R,", "GF,R,", "GD,R,", "GU,R,", "FL,R,", "WB,R,", "SA,R,", "UZ,R,",
         "AT,R,", "A1,R,", "A2,R,", "AS,R,", "AW,R,", "HA,R,", "UG,R,", "UJ,R,", "BP,R,", "SZ,R,",
         "S1,R,", "LP,R,", "XC,R,", "AC,R,", "HH,R,", "HE,R,", "RP,R,", "SI,R,", "SJ,R,", "LF,R,",
         "LR,R,", "AL,R,", "AQ,R,", "UJ,R,", "FF,R,", "VS,R,"}},
    // 56 stays empty.
    {57, {"H2,R,", "XZ,R,00", "XS,R,00", "XS,R,FF", "XV,R,"}},
    {107,
     {"H2,R,", "HB,R,", "FH,R,", "UV,R,", "SG,R,", "XE,R,", "XD,R,", "AF,R,", "UI,R,", "UW,R,",
      "BN,R,"}},
    {135, {"LN,R,"}},
};

const IndexedRun kIndexedRuns[] = {
    {62, "G1,R,", 6, 1},   {68, "LO,R,", 5, 1},   {73, "LS,R,", 17, 2},  {90, "LI,R,", 17, 2},
    {118, "LJ,R,", 17, 2}, {136, "LB,R,", 30, 2}, {166, "LA,R,", 35, 2},
};

ReadCommandTable BuildReadCommands() {
  ReadCommandTable table{};
  for (const FixedRun& run : kFixedRuns) {
    int index = run.first;
    for (const std::string_view command : run.commands) {
      table[static_cast<std::size_t>(index++)] = command;
    }
  }
  for (const IndexedRun& run : kIndexedRuns) {
    for (int i = 0; i < run.count; ++i) {
      table[static_cast<std::size_t>(run.first + i)] =
          std::string(run.head) + IndexText(i, run.digits);
    }
  }
  return table;
}

}  // namespace

const ReadCommandTable& ReadCommands() {
  static const ReadCommandTable table = BuildReadCommands();
  return table;
}

}  // namespace kv
