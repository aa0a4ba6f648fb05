// The program reads the whole instrument with its 200-line read list: every
// reply must be accepted, and what the program ends up with must be what the
// simulated instrument holds.
#include <cmath>
#include <set>
#include <string_view>
#include <variant>

#include "model/instrument_settings.h"
#include "sim_fixture.h"

namespace kv::sim::testing {
namespace {

class SimReadListTest : public SimSession {
 protected:
  // Runs the read list as the read transaction does: a cleared record with
  // its ratio channels, every reply applied in turn, ratio channels again.
  void ReadEverything() {
    record.ClearDatas();
    SetRatioChannels(record);
    for (const std::string& line : ProgramReadList()) {
      SCOPED_TRACE(line);
      const std::string reply = Ask(line);
      ASSERT_FALSE(reply.empty()) << "no reply";
      ASSERT_TRUE(ApplyReply(reply, &record, link)) << ToReadable(reply);
    }
    SetRatioChannels(record);
  }
};

TEST_F(SimReadListTest, ListHasTheProgramsShape) {
  const auto list = ProgramReadList();
  ASSERT_EQ(list.size(), 200U);
  EXPECT_EQ(list.front(), "VP,R,");
  EXPECT_EQ(list.back(), "LA,R,22");
}

TEST_F(SimReadListTest, EveryReplyIsAcceptedAndLeavesNoLogLine) {
  ReadEverything();
  EXPECT_TRUE(link.log.empty()) << link.log.front();
  EXPECT_FALSE(record.invalidFF() || record.invalidGN() || record.invalidLP() ||
               record.invalidLI() || record.invalidLJ() || record.invalidWB() ||
               record.invalidFL_() || record.invalidHE_() || record.invalidLO_() ||
               record.invalidLB_() || record.invalidLA_() || record.invalidG1())
      << "a reply came in an older, shorter form";
}

// Settings a read does not carry (the calibration history, logged values,
// live readings), values derived from the PC's clock or by the dispatcher
// from other settings, and the ratio channels 7 and 8 the transaction derives.
bool NotRead(const SettingInfo& setting, int index) {
  static const std::set<std::string_view> kNotRead = {
      "SysDate",     "SysDateOffset", "StationID", "UserID", "CalibDate",
      "CalibBefore", "CalibAfter",    "LogMax",    "LogMin", "LogAvr",
      "LogMaxDate",  "LogMinDate",    "LimitValue"};
  return kNotRead.contains(setting.name) ||
         (setting.kind == IndexKind::Channel && index >= kSensorChannels);
}

bool SameValue(const SettingValue& a, const SettingValue& b) {
  if (std::holds_alternative<Single>(a) && std::holds_alternative<Single>(b)) {
    const double x = std::get<Single>(a), y = std::get<Single>(b);
    return std::fabs(x - y) <= 1e-6 * std::max(1.0, std::fabs(y));
  }
  return a == b;
}

std::string Show(const SettingValue& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        if constexpr (std::is_same_v<std::decay_t<decltype(x)>, Text>) {
          return "\"" + x + "\"";
        } else {
          return std::to_string(x);
        }
      },
      v);
}

TEST_F(SimReadListTest, ProgramRecordEqualsTheInstrumentsSettings) {
  ReadEverything();
  int compared = 0;
  for (const SettingInfo& setting : AllSettings()) {
    for (int i = 0; i < setting.count; ++i) {
      if (NotRead(setting, i)) continue;
      ++compared;
      const SettingValue read = setting.get(record, i), held = setting.get(State(), i);
      EXPECT_TRUE(SameValue(read, held)) << setting.name << "(" << i << "): read " << Show(read)
                                         << ", instrument holds " << Show(held);
    }
  }
  EXPECT_GT(compared, 1000);
}

TEST_F(SimReadListTest, ClockReplyCarriesTheInstrumentClock) {
  ReadEverything();
  EXPECT_EQ(FromSerialDate(record.SysDate()), (DateTime{2026, 3, 5, 14, 7, 9}));
}

// The demonstration instrument is not a blank one: the comparison above
// would pass trivially if both sides held reset values.
TEST_F(SimReadListTest, DemonstrationInstrumentIsRealistic) {
  ReadEverything();
  EXPECT_EQ(record.GasName(0), "CH4");
  EXPECT_EQ(record.GasUnit(0), "%LEL");
  EXPECT_EQ(record.GasType(4), kGasTypeInfrared);
  EXPECT_EQ(record.IR_Hi_Unit(4), "vol%");
  EXPECT_FLOAT_EQ(record.IR_Hi_FullScale(4), 100.0F);
  EXPECT_EQ(record.GasType(5), kGasTypePid);
  EXPECT_EQ(record.PIDSmallRange(5), 1);
  EXPECT_EQ(record.GasType(6), kGasTypeNone);
  EXPECT_EQ(record.ZeroForce(6), 16);
  EXPECT_FALSE(record.GasEnabled(6));
  EXPECT_FLOAT_EQ(record.AutoCalib(0), 50.0F);  // through the FL_(0) scaling
  EXPECT_FLOAT_EQ(record.Stel(1), -121.0F);
  EXPECT_FLOAT_EQ(record.Twa(4), -118.0F);
  EXPECT_FLOAT_EQ(record.Stel(5), -101.0F);
  EXPECT_FLOAT_EQ(record.LA_warn(5), -121.0F);
  EXPECT_EQ(record.XS_(64), "");
  EXPECT_EQ(record.XS_(11), "GATE HOUSE");
  EXPECT_EQ(record.XZ_(5), "P.LINDQVIST");
  EXPECT_EQ(record.PIDName(0), "IBL");
  EXPECT_EQ(record.LB_fc(2), 155);
  EXPECT_EQ(record.LO_name(1), "XYL");
}

}  // namespace
}  // namespace kv::sim::testing
