#include "sim_fixture.h"

#include "protocol/codecs.h"

namespace kv::sim::testing {
namespace {

void AddIndexed(std::vector<std::string>& list, std::string_view head, int count, bool oneDigit) {
  for (int i = 0; i < count; ++i) {
    list.push_back(std::string(head) + (oneDigit ? HexText(i) : HexByte(i)));
  }
}

}  // namespace

std::vector<std::string> ProgramReadList() {
  std::vector<std::string> list = {
      "VP,R,", "SZ,R,", "S1,R,", "IN,R,",   "HN,R,",   "HC,R,",   "US,R,", "AP,R,", "XP,R,",
      "XI,R,", "SD,R,", "SM,R,", "SC,R,",   "XL,R,",   "XA,R,",   "XB,R,", "XW,R,", "XT,R,",
      "UL,R,", "IT,R,", "GJ,R,", "GN,R,",   "GP,R,",   "GF,R,",   "GD,R,", "GU,R,", "FL,R,",
      "WB,R,", "SA,R,", "UZ,R,", "AT,R,",   "A1,R,",   "A2,R,",   "AS,R,", "AW,R,", "HA,R,",
      "UG,R,", "UJ,R,", "BP,R,", "SZ,R,",   "S1,R,",   "LP,R,",   "XC,R,", "AC,R,", "HH,R,",
      "HE,R,", "RP,R,", "SI,R,", "SJ,R,",   "LF,R,",   "LR,R,",   "AL,R,", "AQ,R,", "UJ,R,",
      "FF,R,", "VS,R,", "H2,R,", "XZ,R,00", "XS,R,00", "XS,R,FF", "XV,R,"};
  AddIndexed(list, "G1,R,", 6, true);
  AddIndexed(list, "LO,R,", 5, true);
  AddIndexed(list, "LS,R,", 17, false);
  AddIndexed(list, "LI,R,", 17, false);
  for (const char* text : {"H2,R,", "HB,R,", "FH,R,", "UV,R,", "SG,R,", "XE,R,", "XD,R,", "AF,R,",
                           "UI,R,", "UW,R,", "BN,R,"}) {
    list.emplace_back(text);
  }
  AddIndexed(list, "LJ,R,", 17, false);
  list.emplace_back("LN,R,");
  AddIndexed(list, "LB,R,", 30, false);
  AddIndexed(list, "LA,R,", 35, false);
  return list;
}

}  // namespace kv::sim::testing
