#include "support/sample_record.h"

#include <gtest/gtest.h>

#include <vector>

#include "protocol/codecs.h"

namespace kv::testsupport {
namespace {


struct PidSetup {
  int entry, range;
  Single fullScale;
  Integer point;
  Text unit;
  Single digit, warn, alarm, stel, twa, autoCal, factor;
};

const std::vector<PidSetup> kPid = {
    {0, 1, 10.00F, 2, "ppm", 0.01F, 1.00F, 2.00F, kNoData, 0.50F, 5.00F, 123},
    {0, 0, 1000, 0, "ppb", 1, 50, 100, 200, 25, 100, 500},
    {16, 1, 100.0F, 1, "ppm", 0.1F, 10.0F, 20.0F, 30.0F, 5.0F, 50.0F, 32768},
};

OtherSettings SampleOtherSettings() {
  return {
      1, 60, true, true, 3, 90, 1, 2, 5,
      0, 30, 9, 1, "2", 3, 2, 1, 1,
      7, 0, 1, 1, 3, 0, 1, 0,
      "KORVIN SERVICE LTD. BRANCH", 0, 1, 1, 1, "4711", 1, 1,
      0, 2, "H2", "ETH", 4, 5000, 10000, 0.50F, 1.00F,
  };
}

void Check(bool stored) { ASSERT_TRUE(stored); }

}  // namespace

// A function rather than a table: suites copy it while their own statics are
// made, before this file's would be.
std::vector<ChannelSetup> SampleChannels() {
  return {
      {0, "CH4", 1, 100.0F, 0.5F, "%LEL", 10.0F, 25.0F, kCodeDDDD, kCodeFEFE, 50.0F, 1, 2, 1},
      {1, "O2", 1, 25.0F, 0.1F, "vol%", 19.5F, 23.5F, kNoData, kNoData, 20.9F, 0, 3, 2},
      {2, "H2S", 1, 100.0F, 0.1F, "ppm", 5.0F, 10.0F, 5.0F, 1.0F, 25.0F, 1, 0, 4},
      {3, "CO", 0, 500, 1, "ppm", 25, 50, 200, 25, 50, 0, 0, 8},
      {4, "CO2", 2, 5.00F, 0.01F, "vol%", 0.50F, 1.00F, 3.00F, 0.50F, 2.50F, 0, 1, 16},
      {5, "VOC", 1, 100.0F, 0.1F, "ppm", 10.0F, 25.0F, 50.0F, kNoData, 100.0F, 1, 5, 32},
      {16, "", 0, 0, 1, "", kNoData, kNoData, kNoData, kNoData, kNoData, 0, 0, 0},
  };
}

bool FillChannels(clsInstrument& r, const std::vector<ChannelSetup>& channels) {
  if (channels.size() != static_cast<std::size_t>(kSensorChannels)) return false;
  bool stored = true;
  for (int k = 0; k < kSensorChannels; ++k) {
    const ChannelSetup& c = channels[static_cast<std::size_t>(k)];
    stored = stored && r.SetGasType(k, c.type) && r.SetGasName(k, c.name) &&
             r.SetGasPoint(k, c.point) && r.SetGasFullScale(k, c.fullScale) &&
             r.SetGasDesit(k, c.desit) && r.SetGasUnit(k, c.unit) && r.SetWarning(k, c.warn) &&
             r.SetAlarm(k, c.alarm) && r.SetStel(k, c.stel) && r.SetTwa(k, c.twa) &&
             r.SetAutoCalib(k, c.autoCalib) && r.SetZero(k, c.zero) &&
             r.SetZeroForce(k, c.zeroForce) && r.SetUG_(k, c.outputMask);
  }
  return stored;
}

void FillOtherSettings(clsInstrument& r, const OtherSettings& s) {
  r.SetAlarmMode(s.alarmMode);
  r.SetIntervals(s.intervals);
  r.SetDispID(s.dispId);
  r.SetDispCalLimit(s.dispCalLimit);
  r.SetCalCheck(s.calCheck);
  r.SetCalLimit(s.calLimit);
  r.SetLunchBreak(s.lunchBreak);
  r.SetAlarmSilence(s.alarmSilence);
  r.SetConfermation(s.confermation);
  r.SetLogOverWrite(s.logOverWrite);
  r.SetLcdBackLight(s.lcdBackLight);
  r.SetLcdContrast(s.lcdContrast);
  r.SetAlarmO2(s.alarmO2);
  r.SetSpecType(s.specType);
  r.SetHcMode(s.hcMode);
  r.SetCurrHc(s.currHc);
  r.SetLogaClear(s.logaClear);
  r.SetLBMode(s.lbMode);
  r.SetBarHoleTime(s.barHoleTime);
  r.SetLeakBeep(s.leakBeep);
  r.SetAutoZero(s.autoZero);
  r.SetConvFc(s.convFc);
  r.SetLogoDisp(s.logoDisp);
  r.SetAFapDisp(s.aFapDisp);
  r.SetUIgasDisp(s.uiGasDisp);
  r.SetUWdateDisp(s.uwDateDisp);
  r.SetBNuserLogoName(s.userLogoName);
  r.SetMEDisp(s.meDisp);
  r.SetAliveDisp(s.aliveDisp);
  r.SetRemainTimeDisp(s.remainTimeDisp);
  r.SetUsePasswd(s.usePasswd);
  r.SetPassword(s.password);
  r.SetBattery(s.battery);
  r.SetDemandZero(s.demandZero);
  r.SetDispSpanFc(s.dispSpanFc);
  r.SetIRRange(s.irRange);
  r.SetCATOther(s.catOther);
  r.SetTCOther(s.tcOther);
  r.SetCATOtherEV(s.catOtherEv);
  r.SetCATppm1st(s.catPpm1st);
  r.SetCATppm2nd(s.catPpm2nd);
  r.SetCATvol1st(s.catVol1st);
  r.SetCATvol2nd(s.catVol2nd);
}

clsInstrument SampleRecord() {
  clsInstrument r;
  const std::vector<ChannelSetup> channels = SampleChannels();
  Check(FillChannels(r, channels));
  for (int k = 0; k < kSensorChannels; ++k) {
    Check(r.SetGasEnabled(k, channels[static_cast<std::size_t>(k)].outputMask != 0));
  }
  Check(r.SetAutoRange(4, 1) && r.SetPIDSmallRange(5, 1));
  Check(r.SetAltRng(1, 1) && r.SetAltRng(2, 1) && r.SetAltRng(3, 0));
  Check(r.SetFL_(0, 50000) && r.SetFL_(1, 1200) && r.SetFL_(2, 300) && r.SetFL_(3, 7));
  Check(r.SetRatio(0, 50000));

  Check(r.SetXZ_(0, "ALICE") && r.SetXZ_(31, "ZED"));
  Check(r.SetXS_(0, "MAIN GATE") && r.SetXS_(5, "STATION-A-LONG-NAME") && r.SetXS_(127, "LAST"));
  Check(r.SetXV_(0, 3) && r.SetXV_(1, 2));

  FillOtherSettings(r, SampleOtherSettings());
  Check(r.SetHH_(0, 18) && r.SetHH_(1, 171));
  Check(r.SetHE_(0, 170) && r.SetHE_(1, 160) && r.SetHE_(2, 200));

  Check(r.SetG1_(0, "Methane") && r.SetG1_(1, "Hydrogen") &&
        r.SetG1_(2, "Carbon dioxide sensor long") && r.SetG1_(3, "Volatile organics") &&
        r.SetG1_(5, "Spare"));
  Check(r.SetLO_longname(0, "Hexane") && r.SetLO_name(0, "HEX") && r.SetLO_fc(0, 0x1A2B));
  Check(r.SetLO_longname(4, "User gas five long name") && r.SetLO_name(4, "USR") &&
        r.SetLO_fc(4, 100));
  r.SetLN_(35);
  Check(r.SetLB_longname(0, "Propane") && r.SetLB_name(0, "C3H") && r.SetLB_fc(0, 150));
  Check(r.SetLB_longname(29, "Isobutane") && r.SetLB_name(29, "IBT") && r.SetLB_fc(29, 2000));
  Check(r.SetLA_warn(0, 10.0F) && r.SetLA_alarm(0, 20.0F) && r.SetLA_ratio(0, 25000) &&
        r.SetLA_volt(0, 1));
  Check(r.SetLA_warn(3, kCodeDDDD) && r.SetLA_alarm(3, kNoData) && r.SetLA_ratio(3, 0) &&
        r.SetLA_volt(3, 0));
  Check(r.SetLA_warn(34, 5.5F) && r.SetLA_alarm(34, kCodeFEFE) && r.SetLA_ratio(34, 50100) &&
        r.SetLA_volt(34, 0.5F));

  r.SetPIDLongName(0, "Isobutylene");
  r.SetPIDName(0, "IBU");
  r.SetPIDLongName(16, "Benzene high sensitivity");
  r.SetPIDName(16, "bz");
  for (const auto& p : kPid) {
    r.SetPIDPoint(p.entry, p.range, p.point);
    r.SetPIDFullScale(p.entry, p.range, p.fullScale);
    r.SetPIDUnit(p.entry, p.range, p.unit);
    r.SetPIDDigit(p.entry, p.range, p.digit);
    r.SetPIDWarn(p.entry, p.range, p.warn);
    r.SetPIDAlarm(p.entry, p.range, p.alarm);
    r.SetPIDStel(p.entry, p.range, p.stel);
    r.SetPIDTwa(p.entry, p.range, p.twa);
    r.SetPIDAutoCal(p.entry, p.range, p.autoCal);
    r.SetPIDFactor(p.entry, p.range, p.factor);
  }
  SetRatioChannels(r);
  return r;
}

}  // namespace kv::testsupport
