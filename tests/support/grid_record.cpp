#include "support/sample_record.h"

namespace kv::testsupport {

clsInstrument GridRecord() {
  clsInstrument r;
  bool ok = true;
  // Gas names and catalytic ratios.
  ok &= r.SetGasName(0, "CH4") && r.SetGasName(4, "CO2") && r.SetGasName(5, "") &&
        r.SetGasName(6, "VOC");
  ok &= r.SetG1_(0, "METHANE") && r.SetG1_(1, "PROPANE") && r.SetG1_(2, "CARBON DIOXIDE") &&
        r.SetG1_(3, "X") && r.SetG1_(4, "ISOBUTYLENE");
  ok &= r.SetFL_(0, 50000) && r.SetFL_(1, 12000);
  r.SetCATOther("C3H");
  // Channel mapping: slot 0 on channels 1 and 6 (bits 0 and 5), slot 3 on channel 3.
  ok &= r.SetUG_(0, 0b100001) && r.SetUG_(1, 0) && r.SetUG_(3, 0b100);
  // Ranges and zero options.
  ok &= r.SetAltRng(1, 1) && r.SetAltRng(2, 0) && r.SetAltRng(3, 1);
  ok &= r.SetZero(0, 1) && r.SetZero(2, 0) && r.SetZero(4, 1);
  ok &= r.SetZeroForce(2, 5) && r.SetZeroForce(6, 16);
  // Methane elimination.
  ok &= r.SetHH_(0, 10) && r.SetHH_(1, 20) && r.SetHE_(0, 30) && r.SetHE_(1, 40) &&
        r.SetRP_(0, 1000) && r.SetRP_(1, 2000);
  ok &= r.SetSI_(0, 450) && r.SetSI_(1, 500) && r.SetSI_(2, 550) && r.SetSI_(3, 809);
  // Other settings.
  r.SetDummySerial("ABC123");
  r.SetAlarmMode(1);
  r.SetCalLimit(365);
  r.SetConfermation(3);
  r.SetLogOverWrite(0);
  r.SetLogaClear(1);
  r.SetBarHoleTime(3);  // outside "30|45|60"
  r.SetSpecType("2");
  r.SetHcMode(1);
  r.SetAlarmO2(2);
  r.SetDispCalLimit(true);
  r.SetDispID(false);
  r.SetPassword("1234");
  r.SetLBMode(3);
  r.SetCalCheck(0);
  r.SetLcdBackLight(30);
  r.SetLcdContrast(15);
  r.SetIRRange(1);
  // Stations and users.
  ok &= r.SetXS_(0, "NORTH") && r.SetXS_(127, "LAST") && r.SetXV_(0, 3);
  ok &= r.SetXZ_(31, "OPERATOR") && r.SetXV_(1, 32);
  // Conversion tables: pre-defined entry 0, user-defined entry 4 (levels 34).
  ok &= r.SetLB_name(0, "ETH") && r.SetLB_longname(0, "ETHANOL") && r.SetLB_fc(0, 150);
  ok &= r.SetLA_warn(0, -130.0f) && r.SetLA_alarm(0, 65535.0f) && r.SetLA_ratio(0, 0.5f) &&
        r.SetLA_volt(0, 1.0f) && r.SetLA_volt(1, 0.0f);
  ok &= r.SetLO_name(4, "USR") && r.SetLO_longname(4, "USER GAS") && r.SetLO_fc(4, 7);
  ok &= r.SetLA_warn(34, 12.6f) && r.SetLA_alarm(34, -121.0f) && r.SetLA_volt(34, 2.0f);
  r.SetLN_(7);
  // PID tables: entry 0 in both ranges, entry 16 of the low range.
  r.SetPIDName(0, "IBL");
  r.SetPIDLongName(0, "ISOBUTYLENE");
  r.SetPIDPoint(0, 0, 1);
  r.SetPIDFullScale(0, 0, 1000.0f);
  r.SetPIDUnit(0, 0, "ppm");
  r.SetPIDDigit(0, 0, 0.1f);
  r.SetPIDWarn(0, 0, 50.0f);
  r.SetPIDAlarm(0, 0, -121.0f);
  r.SetPIDStel(0, 0, 56797.0f);
  r.SetPIDTwa(0, 0, -101.0f);
  r.SetPIDAutoCal(0, 0, 100.0f);
  r.SetPIDFactor(0, 0, 123.0f);
  r.SetPIDPoint(0, 1, 0);
  r.SetPIDFullScale(0, 1, 20.0f);
  r.SetPIDName(16, "ACE");
  r.SetPIDPoint(16, 1, 3);
  r.SetPIDFullScale(16, 1, 2.5f);
  r.SetPIDWarn(16, 1, -130.0f);
  r.ClearChangeFlags();
  if (!ok) r.SetKey("a setter refused its index");
  return r;
}

}  // namespace kv::testsupport
