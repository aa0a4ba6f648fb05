#include "protocol/write_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "protocol/codecs.h"
#include "support/sample_record.h"

namespace kv {
namespace {

using testsupport::ChannelSetup;

// The sample record's channels (catalytic, the three fixed sensors, infrared,
// PID and an empty slot) with an integer catalytic channel, an O2 alarm below
// its warning, and forced zeros and an output mask the sample does not use.
const std::vector<ChannelSetup> kChannels = [] {
  std::vector<ChannelSetup> channels = testsupport::SampleChannels();
  channels[0].point = 0;
  channels[0].desit = 5;
  channels[0].alarm = 50;
  channels[1].alarm = 18.0F;
  channels[4].zeroForce = 16;
  channels[4].outputMask = 11;
  channels[6].zeroForce = 16;
  return channels;
}();

class KnownRecord : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testsupport::FillChannels(r, kChannels));
    // Decoys: FF must pick the setting of each channel's sensor type.
    ASSERT_TRUE(r.SetAutoRange(4, 0) && r.SetPIDSmallRange(4, 1) && r.SetPIDSmallRange(5, 1) &&
                r.SetAutoRange(5, 1) && r.SetAutoRange(6, 1));
    ASSERT_TRUE(r.SetAltRng(1, 1) && r.SetAltRng(2, 0) && r.SetAltRng(3, 1));
    ASSERT_TRUE(r.SetFL_(0, 50000) && r.SetFL_(1, 1200) && r.SetFL_(2, 0) && r.SetFL_(3, 7));
    ASSERT_TRUE(r.SetRatio(0, 50000));
    SetRatioChannels(r);

    ASSERT_TRUE(r.SetXZ_(0, "ALICE") && r.SetXS_(5, "STATION-A-LONG-NAME"));
    ASSERT_TRUE(r.SetXV_(0, 6) && r.SetXV_(1, 1));
    r.SetSerialNo("SN-0123456789ABCDEFGHIJ");
    testsupport::FillOtherSettings(r, {
        1, 180, true, false, 2, 90, 0, 1, 12,
        1, 30, 12, 1, "2", 1, 0, 0, 1,
        15, 0, 1, 0, 2, 0, 1, 0,
        "ACME", 1, 1, 0, 1, "1234", 1, 0,
        1, 2, "H2", "ETH", 3, 5000, 10000, 0.50F, 1.00F,
    });
    ASSERT_TRUE(r.SetHH_(0, 18) && r.SetHH_(1, 171));
    ASSERT_TRUE(r.SetHE_(0, 170) && r.SetHE_(1, 20) && r.SetHE_(2, 5));
    ASSERT_TRUE(r.SetG1_(0, "Methane") && r.SetG1_(2, "Carbon dioxide sensor long"));
    ASSERT_TRUE(r.SetLO_longname(1, "Hexane") && r.SetLO_name(1, "HEX") && r.SetLO_fc(1, 0x1A2B));
    r.SetLN_(35);
    ASSERT_TRUE(r.SetLB_longname(29, "Propane") && r.SetLB_name(29, "C3H") &&
                r.SetLB_fc(29, 150));
    ASSERT_TRUE(r.SetLA_warn(3, 10) && r.SetLA_alarm(3, kCodeDDDD) && r.SetLA_ratio(3, 25000) &&
                r.SetLA_volt(3, 1));
    r.SetPIDLongName(16, "Isobutylene");
    r.SetPIDName(16, "IBU");
    SetPid(16, 1, {10.00F, 2, "ppm", 0.01F, 1.00F, 2.00F, kNoData, 0.50F, 5.00F, 123});
    SetPid(0, 0, {1000, 0, "ppb", 1, 50, 100, 200, 25, 100, 500});
  }

  struct PidSetup {
    Single fullScale;
    Integer point;
    Text unit;
    Single digit, warn, alarm, stel, twa, autoCal, factor;
  };
  void SetPid(int e, int range, const PidSetup& p) {
    r.SetPIDPoint(e, range, p.point);
    r.SetPIDFullScale(e, range, p.fullScale);
    r.SetPIDUnit(e, range, p.unit);
    r.SetPIDDigit(e, range, p.digit);
    r.SetPIDWarn(e, range, p.warn);
    r.SetPIDAlarm(e, range, p.alarm);
    r.SetPIDStel(e, range, p.stel);
    r.SetPIDTwa(e, range, p.twa);
    r.SetPIDAutoCal(e, range, p.autoCal);
    r.SetPIDFactor(e, range, p.factor);
  }

  clsInstrument r;
};

TEST_F(KnownRecord, EveryWrittenCodeHasItsLayout) {
  struct Case {
    std::string built, expected;
  };
  const std::vector<Case> cases = {
      {WriteLineXZ(r, 0), "XZ,W,01,ALICE           ,"},
      {WriteLineXS(r, 5), "XS,W,06,STATION-A-LONG-N,"},
      {WriteLineXV(r), "XV,W,06,01,"},
      {WriteLineIN(r), "IN,W,SN-0123456789ABCDEFG,"},
      {WriteLineHN(r), "HN,W,                    ,"},
      {WriteLineAP(r), "AP,W,1,"},
      {WriteLineXP(r), "XP,W,5,"},
      {WriteLineXI(r), "XI,W,1,"},
      {WriteLineSD(r), "SD,W,0,"},
      {WriteLineSM(r), "SM,W,2,"},
      {WriteLineSC(r), "SC,W,005A,"},
      {WriteLineXL(r), "XL,W,0,"},
      {WriteLineXA(r), "XA,W,1,"},
      {WriteLineXB(r), "XB,W,12,"},  // decimal, though the instrument reports hexadecimal
      {WriteLineXW(r), "XW,W,1,"},
      {WriteLineXT(r), "XT,W,1E,"},
      {WriteLineUL(r), "UL,W,C,"},
      {WriteLineAT(r), "AT,W,1,"},
      {WriteLineUJ(r), "UJ,W,2,"},
      {WriteLineLP(r), "LP,W,1,0,"},
      {WriteLineXC(r), "XC,W,0,"},
      {WriteLineWB(r), "WB,W,1,15,0,"},
      {WriteLineHH(r), "HH,W,12,AB,"},
      {WriteLineHE(r), "HE,W,AA,14,05,"},
      {WriteLineSJ(r), "SJ,W,1,"},
      {WriteLineLF(r), "LF,W,0,"},
      {WriteLineUV(r), "UV,W,2,"},
      {WriteLineAF(r), "AF,W,0,"},
      {WriteLineUI(r), "UI,W,1,"},
      {WriteLineUW(r), "UW,W,0,"},
      {WriteLineBN(r), "BN,W,ACME                ,"},
      {WriteLineXE(r), "XE,W,1,1,"},
      {WriteLineXD(r), "XD,W,0,"},
      {WriteLineAL(r), "AL,W,1,"},
      {WriteLineAQ(r), "AQ,W,1234,"},
      {WriteLineHB(r), "HB,W,1,"},
      {WriteLineSG(r), "SG,W,0,1,"},
      {WriteLineGN(r), "GN,W,CH4,H2 ,CO2,VOC,   ,ETH,"},
      {WriteLineGP(r), "GP,W,0,1,1,0,2,1,0,"},
      {WriteLineGF(r), "GF,W,0064,01F4,03E8,0000,"},
      {WriteLineGD(r), "GD,W,05,01,01,01,"},
      {WriteLineGU(r), "GU,W,1,0,2,0,"},
      {FileLineGJ(r),
       "GJ,W,CH4,0064,0005,1,O2 ,00FA,0001,0,H2S,03E8,0001,2,CO ,01F4,0001,2,"
       "CO2,01F4,0001,0,VOC,03E8,0001,2,   ,0000,0001,0,"},
      // Mask 11 gives ";" (48 + 11), mask 32 gives "P".
      {WriteLineUG(r), "UG,W,1,2,4,8,;,P,0,"},
      {WriteLineIT(r), "IT,W,0,1,2,3,4,5,@,"},
      {WriteLineA1(r), "A1,W,000A,00C3,0032,0019,0032,0064,FFFF,"},
      {WriteLineA2(r), "A2,W,0032,00B4,0064,0032,0064,00FA,FFFF,"},
      {WriteLineAS(r), "AS,W,DDDD,FFFF,0032,00C8,012C,01F4,FFFF,"},
      {WriteLineAW(r), "AW,W,FEFE,FFFF,000A,0019,0032,FFFF,FFFF,"},
      // Channel 0 is catalytic: 50 x 50000 / 100 = 25000 raw counts.
      {WriteLineSA(r), "SA,W,61A8,00D1,00FA,0032,00FA,03E8,FFFF,"},
      {WriteLineUZ(r), "UZ,W,25,"},
      {WriteLineLR(r), "LR,W,A,"},
      {WriteLineFF(r), "FF,W,2,0,1,0,"},
      {WriteLineFL(r), "FL,W,C350,04B0,0000,0007,"},
      {WriteLineFH(r), "FH,W,3,"},
      {WriteLineAC(r), "AC,W,1388,2710,0032,0064,"},
      {WriteLineG1(r, 0), "G1,W,0,Methane             ,"},
      {WriteLineG1(r, 2), "G1,W,2,Carbon dioxide senso,"},
      {WriteLineLO(r, 1), "LO,W,1,Hexane              ,HEX,1A2B,"},
      {WriteLineLN(r), "LN,W,23,"},
      {WriteLineLB(r, 29), "LB,W,1D,Propane             ,C3H,0096,"},
      {WriteLineLA(r, 3), "LA,W,03,000A,DDDD,61A8,1,"},
      {WriteLineLS(r, 16), "LS,W,10,Isobutylene         ,IBU,"},
      {WriteLineLI(r, 16), "LI,W,10,03E8,2,02,0001,0064,00C8,FFFF,0032,01F4,7B,"},
      {WriteLineLJ(r, 0), "LJ,W,00,03E8,0,03,0001,0032,0064,00C8,0019,0064,1F4,"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.built, c.expected);
  }
}

TEST_F(KnownRecord, TheFileMarksTheOxygenZeroSuppressUnused) {
  EXPECT_EQ(WriteLineUS(r, WriteTarget::Wire), "US,W,2,3,0,0,@,5,@,");
  EXPECT_EQ(WriteLineUS(r, WriteTarget::File), "US,W,2,@,0,0,@,5,@,");
}

TEST_F(KnownRecord, TheFileTableUsesTheFileFormsAndHoldsNoServiceLines) {
  std::vector<std::string> codes;
  for (const auto& row : FileRecordTable()) {
    codes.emplace_back(row.code);
    if (row.code == "US") {
      EXPECT_EQ(row.build(r, 0), WriteLineUS(r, WriteTarget::File));
    }
    if (row.code == "GJ") {
      EXPECT_EQ(row.build(r, 0), FileLineGJ(r));
    }
  }
  for (const char* sentOnly : {"HC", "IN", "HN", "RO", "ET", "UD", "UP", "UX", "BP", "SZ", "S2"}) {
    EXPECT_EQ(std::count(codes.begin(), codes.end(), sentOnly), 0) << sentOnly;
  }
  EXPECT_EQ(std::count(codes.begin(), codes.end(), "GJ"), 1);
}

TEST(ServiceLines, FollowTheInstrumentsTexts) {
  struct Case {
    std::string built, expected;
  };
  const std::vector<Case> cases = {
      {WriteLineHC({2026, 3, 5, 14, 7, 9}), "HC,W,260305140709"},
      {WriteLineHC({1999, 12, 31, 23, 59, 59}), "HC,W,991231235959"},
      {WriteLineRO(), "RO,W,"},
      {WriteLineET(), "ET,W,"},
      {WriteLineUD(), "UD,W,"},
      {EndLineXC(), "XC,E,"},
      {WriteLineUP(), "UP,W,"},
      {WriteLineUX(10), "UX,W,A"},
      {WriteLineUX(0), "UX,W,0"},
      {WriteLineUX(0x1F), "UX,W,1F"},
      {WriteLineBP(true), "BP,W,1"},
      {WriteLineBP(false), "BP,W,0"},
      {WriteLineSZ(), "SZ,W,"},
      {WriteLineS2("0100000"), "S2,W,0100000"},
      {CompletionLineUX(), "UX,C,"},
      {CompletionLineSZ(), "SZ,C,"},
      {CompletionLineS2(), "S2,C,"},
      {ReadLineBP(), "BP,R,"},
      {ReadLineDN(), "DN,R,"},
      {ReadLineSO(), "SO,R,0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.built, c.expected);
  }
}

// Conversion levels are readings of the catalytic channel and travel as its
// value fields, codes included.
TEST(WriteLineLA, LevelsAreValueFieldsWithTheCatalyticPlaces) {
  struct Case {
    Integer places;
    Single warn, alarm;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {0, kNoData, kCodeFEFE, "LA,W,00,FFFF,FEFE,0000,0,"},
      {0, kCodeDDDD, 20, "LA,W,00,DDDD,0014,0000,0,"},
      {1, 10.0F, 25.5F, "LA,W,00,0064,00FF,0000,0,"},  // 10.0 read from "0064" goes back as it came
      {0, 25, 50100, "LA,W,00,0019,D001,0000,0,"},
  };
  for (const auto& c : cases) {
    clsInstrument r;
    ASSERT_TRUE(r.SetGasPoint(0, c.places) && r.SetLA_warn(0, c.warn) &&
                r.SetLA_alarm(0, c.alarm));
    EXPECT_EQ(WriteLineLA(r, 0), c.expected);
  }
}

TEST(WriteLineLA, WholeLevelsWithoutDecimalPlacesMatchTheWholeNumberForm) {
  clsInstrument r;
  ASSERT_TRUE(r.SetGasPoint(0, 0) && r.SetLA_warn(7, 25) && r.SetLA_alarm(7, 50) &&
              r.SetLA_ratio(7, 5000) && r.SetLA_volt(7, 1));
  const std::string wholeNumberForm =
      "LA,W,07," + HexWord(25) + "," + HexWord(50) + "," + HexWord(5000) + ",1,";
  EXPECT_EQ(WriteLineLA(r, 7), wholeNumberForm);
}

TEST(WriteLineSA, CatalyticCodesAreNeverScaledAndNothingDividesByZero) {
  struct Case {
    const char* what;
    Single autoCalib, fullScale;
    Long reference;
    std::string channel0;
  };
  const std::vector<Case> cases = {
      {"no data", kNoData, 100, 50000, "FFFF"},
      {"FEFE", kCodeFEFE, 100, 50000, "FEFE"},
      {"DDDD", kCodeDDDD, 100, 50000, "DDDD"},
      {"real value", 50, 100, 50000, "61A8"},
      {"reference 0", 50, 100, 0, "FFFF"},
      {"full scale 0", 50, 0, 50000, "FFFF"},
      {"other negative", -5, 100, 50000, "0000"},
  };
  for (const auto& c : cases) {
    clsInstrument r;
    ASSERT_TRUE(r.SetGasType(0, kGasTypeCatalytic) && r.SetAutoCalib(0, c.autoCalib) &&
                r.SetGasFullScale(0, c.fullScale) && r.SetFL_(0, c.reference));
    EXPECT_EQ(WriteLineSA(r), "SA,W," + c.channel0 + ",FFFF,FFFF,FFFF,FFFF,FFFF,FFFF,") << c.what;
  }
}

}  // namespace
}  // namespace kv
