// The names settings go by in the review and the verification.
#include "rules/setting_names.h"

#include <gtest/gtest.h>

namespace kv::rules {
namespace {

struct NameCase {
  const char* setting;
  int index;
  const char* expected;
};

TEST(SettingDisplayNameTest, UsesTheGridCaptionsAndTheGasName) {
  clsInstrument record;
  (void)(record.SetGasName(3, "CO") && record.SetGasName(4, ""));
  const NameCase cases[] = {
      {"LcdBackLight", 0, "LCD Backlight Time(0-255sec)"},
      {"Warning", 3, "Warning (CO)"},
      {"GasName", 3, "Name (CO)"},
      {"Warning", 4, "Warning (Ch5)"},  // a channel without a name
      {"XS_", 2, "Station List 3"},
      {"XZ_", 0, "User List 1"},
      {"SomethingElse", 0, "SomethingElse"},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(SettingDisplayName(c.setting, c.index, record), c.expected) << c.setting;
  }
}

}  // namespace
}  // namespace kv::rules
