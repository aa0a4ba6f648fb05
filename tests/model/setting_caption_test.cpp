// Display names of the settings: what the main window shows as captions and
// what kvmaint prints.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "model/instrument_settings.h"

namespace kv {
namespace {

const SettingInfo& Setting(std::string_view name) {
  for (const SettingInfo& setting : AllSettings()) {
    if (setting.name == name) return setting;
  }
  ADD_FAILURE() << "no setting " << name;
  return AllSettings().front();
}

TEST(SettingCaptionTest, NamesFillInTheGasNameOrTheOneBasedEntry) {
  clsInstrument record;
  ASSERT_TRUE(record.SetGasName(0, "CH4") && record.SetGasName(4, " NH3 ") &&
              record.SetGasName(2, "XYZ"));
  struct Case {
    std::string_view setting;
    int index;
    std::string caption;
  };
  const Case cases[] = {
      {"AlarmMode", 0, "Alarm Latching"},
      {"Confermation", 0, "Confermation Alart"},
      {"IRRange", 0, "Auto Range IR Sensor"},  // the grid's trailing blank is dropped
      {"DummySerial", 0, "Manufacture number"},
      {"Warning", 0, "CH4 warning level"},
      {"Warning", 3, "CO warning level"},
      {"Alarm", 2, "H2S alarm level"},          // a fixed sensor keeps its fixed name
      {"GasName", 4, "NH3 name"},               // trimmed
      {"ZeroForce", 5, "OPT2 zero suppress"},   // no gas name: the slot
      {"GasType", 1, "OXY sensor type"},
      {"XZ_", 6, "User 7"},
      {"XS_", 2, "Station 3"},
      {"LO_fc", 0, "User conversion 1 factor"},
      {"PIDLongName", 3, "PID 4 Long Name"},
      {"PIDWarn", 3 * 2 + 0, "PID 4 High Range 1st"},
      {"PIDWarn", 3 * 2 + 1, "PID 4 Low Range 1st"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SettingCaption(Setting(c.setting), record, c.index), c.caption)
        << c.setting << "(" << c.index << ")";
  }
}

// Every setting has a name, and no two settings (or two indexes of one) print
// alike: a row added without its own caption, or a pattern missing its
// placeholder, would make two lines of a diff indistinguishable.
TEST(SettingCaptionTest, EverySettingAndIndexHasADistinctName) {
  clsInstrument record;
  for (int channel : {0, 4, 5, 6}) {
    ASSERT_TRUE(record.SetGasName(channel, "G" + std::to_string(channel)));
  }
  std::map<std::string, std::string> seen;
  for (const SettingInfo& setting : AllSettings()) {
    EXPECT_FALSE(setting.caption.empty()) << setting.name;
    for (int i = 0; i < setting.count; ++i) {
      const std::string label = std::string(setting.name) + "(" + std::to_string(i) + ")";
      const auto [at, inserted] = seen.emplace(SettingCaption(setting, record, i), label);
      EXPECT_TRUE(inserted) << label << " prints like " << at->second << ": " << at->first;
    }
  }
}

}  // namespace
}  // namespace kv
