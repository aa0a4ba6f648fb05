// The one name and value a setting goes by wherever a change is shown.
#include "rules/setting_names.h"

#include <gtest/gtest.h>

namespace kv::rules {
namespace {

clsInstrument Held() {
  clsInstrument record;
  (void)(record.SetGasName(3, "CO") && record.SetGasUnit(3, "ppm") && record.SetWarning(3, 25.0f) &&
         record.SetGasName(4, "") && record.SetGasUnit(4, "%LEL") && record.SetWarning(4, 5.0f) && record.SetXS_(2, "TANK"));
  record.SetLcdBackLight(5);
  return record;
}

struct NameCase {
  const char* setting;
  int index;
  const char* expected;
};

TEST(SettingNameTest, NamesByTheRecordsRowsWithGasAndEntry) {
  const clsInstrument record = Held();
  const NameCase cases[] = {
      {"LcdBackLight", 0, "LCD Backlight Time(0-255sec)"},
      {"Warning", 3, "CO warning level"},
      {"GasName", 3, "CO name"},
      {"Warning", 4, "OPT1 warning level"},  // a channel without a name: its slot
      {"XS_", 2, "Station 3"},
      {"XZ_", 0, "User 1"},
      {"SomethingElse", 0, "SomethingElse"},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(SettingName(c.setting, c.index, record), c.expected) << c.setting;
  }
}

struct ChangeCase {
  const char* name;
  void (*edit)(clsInstrument&);
  const char* setting;
  int index;
  const char* expected;
};

TEST(DescribeChangeTest, ReadsNameColonOldArrowNewWithUnits) {
  const ChangeCase cases[] = {
      {"level with the channel's unit", [](clsInstrument& r) { (void)r.SetWarning(3, 35.0f); },
       "Warning", 3, "CO warning level: 25 ppm -> 35 ppm"},
      {"unit as each record holds it",
       [](clsInstrument& r) { (void)(r.SetWarning(4, 10.0f) && r.SetGasUnit(4, "vol%")); }, "Warning",
       4, "OPT1 warning level: 5 %LEL -> 10 vol%"},
      {"a channel named only by the edit",
       [](clsInstrument& r) { (void)r.SetGasName(4, "CO2"); }, "GasName", 4,
       "CO2 name: (empty) -> CO2"},
      {"a list entry", [](clsInstrument& r) { (void)r.SetXS_(2, "DOCK"); }, "XS_", 2,
       "Station 3: TANK -> DOCK"},
      {"a plain number", [](clsInstrument& r) { r.SetLcdBackLight(10); }, "LcdBackLight", 0,
       "LCD Backlight Time(0-255sec): 5 -> 10"},
  };
  for (const ChangeCase& c : cases) {
    const clsInstrument before = Held();
    clsInstrument after = before;
    c.edit(after);
    EXPECT_EQ(DescribeChange(c.setting, c.index, before, after).Line(), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace kv::rules
