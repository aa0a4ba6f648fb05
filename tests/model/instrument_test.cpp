#include "model/instrument.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>

namespace kv {
namespace {

TEST(InstrumentReset, ClearDatasRestoresResetValuesAndKeepsTheOthers) {
  clsInstrument r;
  // Settings without a reset value must survive ClearDatas.
  r.SetAlarmMode(2);
  r.SetBarHoleTime(45);
  r.SetIRRange(1);
  ASSERT_TRUE(r.SetGasFullScale(3, 500.0f));
  ASSERT_TRUE(r.SetAltRng(2, 1));
  ASSERT_TRUE(r.SetSZ_(4, 77));
  r.SetFailLine("HC,R");
  // Settings with a reset value must go back to it.
  ASSERT_TRUE(r.SetXV_(0, 7));
  r.SetPassword("1111");
  ASSERT_TRUE(r.SetWarning(0, 25.0f));
  ASSERT_TRUE(r.SetGasType(4, 4));
  r.SetBNuserLogoName("ACME");
  r.SetPIDName(3, "IBU");

  r.ClearDatas();

  EXPECT_EQ(r.XV_(0), 1);
  EXPECT_EQ(r.XV_(1), 1);
  EXPECT_EQ(r.XV_(2), 0);
  EXPECT_EQ(r.Password(), "8462");
  EXPECT_EQ(r.BNuserLogoName(), std::string(20, '-'));
  for (int ch = 0; ch <= 8; ++ch) EXPECT_EQ(r.GasType(ch), 16) << "channel " << ch;
  EXPECT_EQ(r.Warning(0), -101.0f);
  EXPECT_EQ(r.CalibDate(2), -101.0);
  EXPECT_EQ(r.IR_Hi_Point(4), -101);
  EXPECT_EQ(r.SerialNo(), std::string(20, ' '));
  EXPECT_EQ(r.StationID(), std::string(16, ' '));
  EXPECT_EQ(r.CATOther(), "---");
  EXPECT_EQ(r.PIDName(3), "");

  EXPECT_EQ(r.AlarmMode(), 2);
  EXPECT_EQ(r.BarHoleTime(), 45);
  EXPECT_EQ(r.IRRange(), 1);
  EXPECT_EQ(r.GasFullScale(3), 500.0f);
  EXPECT_EQ(r.AltRng(2), 1);
  EXPECT_EQ(r.SZ_(4), 77);
  EXPECT_EQ(r.FailLine(), "HC,R");

  // The reset leaves nothing flagged, the values it restored included.
  EXPECT_FALSE(r.Change_XV_(0));
  EXPECT_FALSE(r.Change_Password());
  EXPECT_FALSE(r.Change_AlarmMode());
}

TEST(InstrumentReset, ChannelNineIsNeverReset) {
  clsInstrument r;
  ASSERT_TRUE(r.SetGasName(9, "XYZ"));
  r.ClearDatas();
  EXPECT_EQ(r.GasName(9), "XYZ");
}

TEST(InstrumentIdentity, BlankTextsKeepTheirFullWidth) {
  clsInstrument r;
  r.SetSerialNo("   ");
  EXPECT_EQ(r.SerialNo(), std::string(20, ' '));
  r.SetSerialNo("AB");
  EXPECT_EQ(r.SerialNo(), "AB");
  r.SetUserID("");
  EXPECT_EQ(r.UserID(), std::string(16, ' '));
  r.SetDummySerial(" X ");
  EXPECT_EQ(r.DummySerial(), " X ");
}

struct FlagCase {
  const char* name;
  std::function<void(clsInstrument&)> set;
  std::function<bool(const clsInstrument&)> flag;
  bool raisesSubBoard;
};

TEST(InstrumentChangeFlags, EachSetterRaisesItsOwnFlag) {
  const FlagCase cases[] = {
      {"CalLimit", [](auto& r) { r.SetCalLimit(90); }, [](auto& r) { return r.Change_CalLimit(); }, false},
      {"HcMode", [](auto& r) { r.SetHcMode(1); }, [](auto& r) { return r.Change_HCMode(); }, false},
      {"LogaClear", [](auto& r) { r.SetLogaClear(0); }, [](auto& r) { return r.Change_logaClear(); }, false},
      {"CATppm1st", [](auto& r) { r.SetCATppm1st(5); }, [](auto& r) { return r.Change_CATppm1(); }, false},
      {"GasName(5)", [](auto& r) { (void)r.SetGasName(5, "VOC"); }, [](auto& r) { return r.Change_GasName(5); }, true},
      {"GasName(2)", [](auto& r) { (void)r.SetGasName(2, "H2S"); }, [](auto& r) { return r.Change_GasName(2); }, false},
      {"Warning(4)", [](auto& r) { (void)r.SetWarning(4, 1.0f); }, [](auto& r) { return r.Change_Warn(4); }, true},
      {"ZeroForce(6)", [](auto& r) { (void)r.SetZeroForce(6, 1); }, [](auto& r) { return r.Change_ZeroForce(6); }, true},
      {"GasEnabled(4)", [](auto& r) { (void)r.SetGasEnabled(4, true); }, [](auto& r) { return r.Change_GasEnable(4); }, true},
      {"PIDSmallRange(5)", [](auto& r) { (void)r.SetPIDSmallRange(5, 1); }, [](auto& r) { return r.Change_PIDSmallRange(5); }, false},
      {"AltRng(1)", [](auto& r) { (void)r.SetAltRng(1, 1); }, [](auto& r) { return r.Change_AltRng(1); }, false},
      {"GasType(2)", [](auto& r) { (void)r.SetGasType(2, 2); }, [](auto& r) { return r.Change_GasType(); }, false},
      {"GasType(5)", [](auto& r) { (void)r.SetGasType(5, 5); }, [](auto& r) { return r.Change_GasType(); }, false},
      {"G1_(3)", [](auto& r) { (void)r.SetG1_(3, "Toluene"); }, [](auto& r) { return r.Change_G1_(3); }, true},
      {"G1_(1)", [](auto& r) { (void)r.SetG1_(1, "Propane"); }, [](auto& r) { return r.Change_G1_(1); }, false},
      {"LA_volt(7)", [](auto& r) { (void)r.SetLA_volt(7, 1.0f); }, [](auto& r) { return r.Change_LA_(7); }, false},
      {"LO_fc(2)", [](auto& r) { (void)r.SetLO_fc(2, 100); }, [](auto& r) { return r.Change_LO_(2); }, false},
      {"PIDName(4)", [](auto& r) { r.SetPIDName(4, "BEN"); }, [](auto& r) { return r.Change_PIDName(4); }, false},
      {"PIDWarn(4,1)", [](auto& r) { r.SetPIDWarn(4, 1, 5.0f); }, [](auto& r) { return r.Change_PIDSpec(4, 1); }, false},
      {"LN_", [](auto& r) { r.SetLN_(3); }, [](auto& r) { return r.Change_LN_(); }, false},
  };
  for (const auto& c : cases) {
    clsInstrument r;
    c.set(r);
    EXPECT_TRUE(c.flag(r)) << c.name;
    EXPECT_EQ(r.Change_SubBoard(), c.raisesSubBoard) << c.name;
  }
}

TEST(InstrumentChangeFlags, TableFlagsAreKeptPerIndex) {
  clsInstrument r;
  ASSERT_TRUE(r.SetXS_(5, "North"));
  EXPECT_TRUE(r.Change_XS_(5));
  EXPECT_FALSE(r.Change_XS_(4));
  r.SetPIDWarn(2, 0, 1.0f);
  EXPECT_TRUE(r.Change_PIDSpec(2, 0));
  EXPECT_FALSE(r.Change_PIDSpec(2, 1));
}

TEST(InstrumentChangeFlags, IntervalsRaisesItsFlagOnlyOnARealChange) {
  clsInstrument r;
  r.SetIntervals(r.Intervals());
  EXPECT_FALSE(r.Change_Interval());
  r.SetIntervals(300);
  EXPECT_TRUE(r.Change_Interval());
  r.SetChange_Interval(false);
  r.SetIntervals(300);
  EXPECT_FALSE(r.Change_Interval());
}

TEST(InstrumentChangeFlags, SetChangeFlagsLeavesTheSerialNumberFlagsAlone) {
  clsInstrument r;
  r.SetChangeFlags(true);
  EXPECT_FALSE(r.Change_SerialNo());
  EXPECT_FALSE(r.Change_DummySerial());
  EXPECT_TRUE(r.Change_SubBoard());
  EXPECT_TRUE(r.Change_OverScale(8));
  EXPECT_TRUE(r.Change_XS_(128));
  EXPECT_TRUE(r.Change_PIDSpec(17, 1));

  r.SetSerialNo("K123");
  r.SetChangeFlags(false);
  EXPECT_TRUE(r.Change_SerialNo());
  r.ClearChangeFlags();
  EXPECT_FALSE(r.Change_SerialNo());
  EXPECT_FALSE(r.Change_XS_(128));
}

TEST(InstrumentIndexes, OutOfRangeIndexesAreRefusedAndNeverStored) {
  clsInstrument r;
  EXPECT_FALSE(r.SetXS_(129, "Beyond"));
  EXPECT_FALSE(r.SetXS_(254, "Beyond"));
  EXPECT_FALSE(r.SetXS_(-1, "Before"));
  EXPECT_EQ(r.XS_(254), "");
  EXPECT_FALSE(r.SetLO_fc(6, 1));
  EXPECT_FALSE(r.SetLA_warn(36, 1.0f));
  EXPECT_FALSE(r.SetGasName(10, "X"));
  EXPECT_EQ(r.GasName(10), "");
  EXPECT_TRUE(r.SetXS_(128, "Last"));

  // PID entry 17 exists for the flags but is not reachable through the values.
  r.SetPIDName(17, "ZZZ");
  EXPECT_EQ(r.PIDName(17), "");
  EXPECT_FALSE(r.Change_PIDName(17));
  r.SetPIDFullScale(17, 0, 5.0f);
  EXPECT_EQ(r.PIDFullScale(17, 0), 0.0f);
}

TEST(InstrumentTypes, SingleSettingsAreStoredAs32BitFloats) {
  static_assert(std::is_same_v<decltype(clsInstrument{}.Warning(0)), float>);
  static_assert(std::is_same_v<decltype(clsInstrument{}.CATvol1st()), float>);
  static_assert(std::is_same_v<decltype(clsInstrument{}.AlarmMode()), std::int16_t>);
  static_assert(std::is_same_v<decltype(clsInstrument{}.FL_(0)), std::int32_t>);
  clsInstrument r;
  r.SetCATvol1st(static_cast<float>(0.15));
  // The stored value is the float nearest 0.15, which lies above 0.15; the
  // wire rounding of a later write depends on exactly this.
  EXPECT_GT(static_cast<double>(r.CATvol1st()), 0.15);
}

TEST(RatioChannels, FollowChannelZeroBelowAndAtTheRatioThreshold) {
  struct Case {
    float ratio;
    float ppmDesit, volDesit, volFullScale;
  };
  const Case cases[] = {{24999.0f, 100.0f, 0.01f, 2.4999f}, {25000.0f, 250.0f, 0.05f, 2.5f}};
  for (const auto& c : cases) {
    clsInstrument r;
    ASSERT_TRUE(r.SetRatio(0, c.ratio));
    ASSERT_TRUE(r.SetGasName(0, "CH4"));
    ASSERT_TRUE(r.SetGasEnabled(0, true));
    r.SetCATppm1st(1000);
    r.SetCATppm2nd(2000);
    r.SetCATvol1st(0.5f);
    r.SetCATvol2nd(1.25f);
    r.ClearChangeFlags();

    SetRatioChannels(r);

    SCOPED_TRACE(c.ratio);
    EXPECT_EQ(r.GasName(7), "CH4");
    EXPECT_EQ(r.GasFullScale(7), c.ratio);
    EXPECT_EQ(r.GasDesit(7), c.ppmDesit);
    EXPECT_EQ(r.GasPoint(7), 0);
    EXPECT_EQ(r.GasUnit(7), "ppm");
    EXPECT_TRUE(r.GasEnabled(7));
    EXPECT_EQ(r.Warning(7), 1000.0f);
    EXPECT_EQ(r.Alarm(7), 2000.0f);
    EXPECT_EQ(r.Stel(7), -121.0f);
    EXPECT_EQ(r.Twa(7), -121.0f);

    EXPECT_EQ(r.GasName(8), "CH4");
    EXPECT_FLOAT_EQ(r.GasFullScale(8), c.volFullScale);
    EXPECT_EQ(r.GasDesit(8), c.volDesit);
    EXPECT_EQ(r.GasPoint(8), 2);
    EXPECT_EQ(r.GasUnit(8), "vol%");
    EXPECT_EQ(r.Warning(8), 0.5f);
    EXPECT_EQ(r.Alarm(8), 1.25f);
    EXPECT_EQ(r.Twa(8), -121.0f);
    // Assigned through the setters: the ratio channels carry change flags.
    EXPECT_TRUE(r.Change_Warn(7));
    EXPECT_FALSE(r.Change_SubBoard());
  }
}

}  // namespace
}  // namespace kv
