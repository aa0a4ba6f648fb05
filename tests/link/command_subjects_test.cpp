// A failed write or read line named by the settings it carries, the code
// kept in parentheses for service staff.
#include "link/command_subjects.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

struct SubjectCase {
  const char* line;
  const char* expected;
};

TEST(DescribeCommandTest, NamesTheSettingsALineCarries) {
  clsInstrument record;
  ASSERT_TRUE(record.SetGasName(0, "CH4") && record.SetGasName(4, "CO2"));
  const SubjectCase cases[] = {
      {"XZ,W,07,J.SMITH         ", "User 7 (XZ,W,07)"},
      {"XS,W,03,DOCK            ", "Station 3 (XS,W,03)"},
      {"XZ,R,07", "User 7 (XZ,R,07)"},
      {"LS,R,07", "PID 8 Long Name, PID 8 Name (LS,R,07)"},
      {"LS,W,07,LONG NAME,NAME", "PID 8 Long Name, PID 8 Name (LS,W,07)"},
      {"XT,W,0A", "LCD Backlight Time(0-255sec) (XT,W)"},
      {"XT,R,", "LCD Backlight Time(0-255sec) (XT,R)"},
      // A group of every channel: the first by its gas, then how many more.
      {"A1,W,0000,0000", "CH4 warning level and 6 more (A1,W)"},
      // A read of the whole list.
      {"XZ,R,00", "User 1 and 31 more (XZ,R,00)"},
      // Lines that carry no setting keep their code.
      {"SZ,W,", "SZ,W"},
      {"VP,R,", "VP,R"},
  };
  for (const SubjectCase& c : cases) {
    EXPECT_EQ(DescribeCommand(c.line, record), c.expected) << c.line;
  }
}

}  // namespace
}  // namespace kv
