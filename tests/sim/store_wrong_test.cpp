// --store-wrong: a write of the chosen code is acknowledged as usual, but
// one setting it changes is held otherwise; writes of other codes are not
// touched.
#include <string>

#include "protocol/write_lines.h"
#include "sim_fixture.h"

namespace kv::sim::testing {
namespace {

SimDeviceOptions StoringWrongly(std::string code) {
  SimDeviceOptions options;
  options.storeWrongCode = std::move(code);
  return options;
}

class StoreWrongTest : public SimSession {
 protected:
  StoreWrongTest() : SimSession({}, StoringWrongly("XT")) {}
};

TEST_F(StoreWrongTest, AcknowledgesTheChosenCodeButHoldsAnotherValue) {
  record = State();
  record.SetLcdBackLight(static_cast<Integer>(State().LcdBackLight() + 5));
  const Integer sent = record.LcdBackLight();
  ASSERT_TRUE(Exchange(WriteLineXT(record))) << "the write is acknowledged";
  EXPECT_EQ(State().LcdBackLight(), sent + 1);
}

TEST_F(StoreWrongTest, OtherCodesAreStoredAsWritten) {
  record = State();
  ASSERT_TRUE(record.SetGasName(4, "CO3"));
  ASSERT_TRUE(Exchange(WriteLineGN(record)));
  EXPECT_EQ(State().GasName(4), "CO3");
}

TEST(StoreOneSettingWronglyTest, SpoilsTheFirstChangedSettingByItsKind) {
  const clsInstrument before;
  struct Case {
    const char* name;
    void (*change)(clsInstrument&);
    bool (*spoiled)(const clsInstrument&);
  };
  const Case cases[] = {
      {"number", [](clsInstrument& r) { r.SetLcdBackLight(10); },
       [](const clsInstrument& r) { return r.LcdBackLight() == 11; }},
      {"text", [](clsInstrument& r) { (void)r.SetGasName(4, "CO3"); },
       [](const clsInstrument& r) { return r.GasName(4) == "COX"; }},
      {"text ending in X", [](clsInstrument& r) { (void)r.SetGasName(4, "COX"); },
       [](const clsInstrument& r) { return r.GasName(4) == "COY"; }},
  };
  for (const Case& c : cases) {
    clsInstrument after = before;
    c.change(after);
    EXPECT_TRUE(StoreOneSettingWrongly(before, after)) << c.name;
    EXPECT_TRUE(c.spoiled(after)) << c.name;
  }
  clsInstrument unchanged = before;
  EXPECT_FALSE(StoreOneSettingWrongly(before, unchanged));
}

}  // namespace
}  // namespace kv::sim::testing
