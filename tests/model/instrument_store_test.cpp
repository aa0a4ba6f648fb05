// Stores: a value the instrument reported. It is stored and its own flag is
// cleared; no other flag moves, so a read never marks settings for writing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/instrument.h"

namespace kv {
namespace {

struct StoreCase {
  std::string what;
  std::function<bool(clsInstrument&)> store;  // false when the store refused
  std::function<bool(const clsInstrument&)> ownFlag;
  std::function<bool(const clsInstrument&)> stored;
};

std::vector<StoreCase> Cases() {
  return {
      {"global setting", [](clsInstrument& r) { r.StoreAlarmMode(2); return true; },
       [](const clsInstrument& r) { return r.Change_AlarmMode(); },
       [](const clsInstrument& r) { return r.AlarmMode() == 2; }},
      {"sub-board channel", [](clsInstrument& r) { return r.StoreGasName(5, "VOC"); },
       [](const clsInstrument& r) { return r.Change_GasName(5); },
       [](const clsInstrument& r) { return r.GasName(5) == "VOC"; }},
      {"sensor type", [](clsInstrument& r) { return r.StoreGasType(4, kGasTypeInfrared); },
       [](const clsInstrument& r) { return r.Change_GasType(); },
       [](const clsInstrument& r) { return r.GasType(4) == kGasTypeInfrared; }},
      {"sub-board long name", [](clsInstrument& r) { return r.StoreG1_(3, "ISOBUTYLENE"); },
       [](const clsInstrument& r) { return r.Change_G1_(3); },
       [](const clsInstrument& r) { return r.G1_(3) == "ISOBUTYLENE"; }},
      {"serial number", [](clsInstrument& r) { r.StoreSerialNo(""); return true; },
       [](const clsInstrument& r) { return r.Change_SerialNo(); },
       [](const clsInstrument& r) { return r.SerialNo() == std::string(20, ' '); }},
      {"interval", [](clsInstrument& r) { r.StoreIntervals(60); return true; },
       [](const clsInstrument& r) { return r.Change_Interval(); },
       [](const clsInstrument& r) { return r.Intervals() == 60; }},
      {"PID names", [](clsInstrument& r) { r.StorePIDNames(16, "BENZENE", "BNZ"); return true; },
       [](const clsInstrument& r) { return r.Change_PIDName(16); },
       [](const clsInstrument& r) { return r.PIDName(16) == "BNZ" && r.PIDLongName(16) == "BENZENE"; }},
  };
}

TEST(InstrumentStore, StoresTheValueAndClearsOnlyItsOwnFlag) {
  for (const StoreCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    clsInstrument flagged;
    flagged.SetChangeFlags(true);
    flagged.SetChange_SerialNo(true);
    ASSERT_TRUE(c.store(flagged));
    EXPECT_TRUE(c.stored(flagged));
    EXPECT_FALSE(c.ownFlag(flagged));
    EXPECT_TRUE(flagged.Change_SubBoard()) << "another flag was cleared";

    clsInstrument clean;
    ASSERT_TRUE(c.store(clean));
    EXPECT_FALSE(clean.Change_SubBoard()) << "a store must not mark the sub-board for writing";
  }
}

TEST(InstrumentStore, IndexesOutsideTheTableAreRefused) {
  clsInstrument r;
  EXPECT_FALSE(r.StoreGasName(kChannelRecords, "X"));
  EXPECT_FALSE(r.StoreXS_(clsInstrument::kXS, "X"));
  EXPECT_FALSE(r.StoreWarning(-1, 1.0F));
  EXPECT_FALSE(r.StoreGasType(kChannelRecords, 0));
}

}  // namespace
}  // namespace kv
