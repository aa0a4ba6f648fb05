// The list of what an upload writes.
#include "link/pending_changes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

clsInstrument Read() {
  clsInstrument r;
  (void)(r.SetGasName(0, "CH4") && r.SetGasName(3, "CO") && r.SetGasName(4, "CO2") &&
         r.SetWarning(3, 25.0f) && r.SetXS_(2, "TANK FARM"));
  r.SetLcdBackLight(5);
  r.ClearChangeFlags();
  return r;
}

std::vector<std::string> Listed(const std::vector<PendingChange>& changes) {
  std::vector<std::string> listed;
  for (const PendingChange& c : changes) {
    listed.push_back(std::string(c.setting) + "(" + std::to_string(c.index) + ") " +
                     SettingValueText(c.oldValue) + " -> " + SettingValueText(c.newValue));
  }
  return listed;
}

struct PendingCase {
  const char* name;
  void (*edit)(clsInstrument&);
  std::vector<std::string> expected;
};

class PendingChangesTable : public ::testing::TestWithParam<PendingCase> {};

TEST_P(PendingChangesTable, ListsWhatTheUploadWritesInItsOrder) {
  const clsInstrument current = Read();
  clsInstrument edited = current;
  GetParam().edit(edited);
  EXPECT_EQ(Listed(PendingChanges(current, edited)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, PendingChangesTable,
    ::testing::Values(
        PendingCase{"Nothing", [](clsInstrument&) {}, {}},
        // Listed in write order, whatever order they were edited in.
        PendingCase{"ThreeSettings",
                    [](clsInstrument& r) {
                      (void)r.SetGasName(4, "CO2X");
                      (void)r.SetWarning(3, 20.0f);
                      r.SetLcdBackLight(10);
                    },
                    {"LcdBackLight(0) 5 -> 10", "Warning(3) 25 -> 20", "GasName(4) CO2 -> CO2X"}},
        // A flag counts even when the value is the same (a loaded file).
        PendingCase{"FlaggedUnchanged", [](clsInstrument& r) { r.SetLcdBackLight(5); },
                    {"LcdBackLight(0) 5 -> 5"}},
        // The fixed sensors' names are never written.
        PendingCase{"FixedSensorName", [](clsInstrument& r) { (void)r.SetGasName(3, "COX"); }, {}},
        PendingCase{"TableEntry", [](clsInstrument& r) { (void)r.SetXS_(2, "TANK FARM B"); },
                    {"XS_(2) TANK FARM -> TANK FARM B"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
