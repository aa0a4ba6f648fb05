#include "model/instrument.h"

#include <algorithm>

namespace kv {
namespace {

// An empty or all-blank identity text is kept as a blank of its full width.
Text BlankToWidth(Text value, std::size_t width) {
  const bool blank = std::all_of(value.begin(), value.end(), [](char c) { return c == ' '; });
  return blank ? Text(width, ' ') : value;
}

template <class Table>
void ResetTable(Table& table) {
  table.values.fill({});
}

}  // namespace

void clsInstrument::SetSerialNo(Text value) {
  global_.SerialNo = BlankToWidth(std::move(value), 20);
  globalFlags_.Change_SerialNo = true;
}
void clsInstrument::SetDummySerial(Text value) {
  global_.DummySerial = BlankToWidth(std::move(value), 20);
  globalFlags_.Change_DummySerial = true;
}
void clsInstrument::SetStationID(Text value) {
  global_.StationID = BlankToWidth(std::move(value), 16);
  globalFlags_.Change_StationID = true;
}
void clsInstrument::SetUserID(Text value) {
  global_.UserID = BlankToWidth(std::move(value), 16);
  globalFlags_.Change_UserID = true;
}

void clsInstrument::SetIntervals(Integer seconds) {
  if (seconds != global_.Intervals) globalFlags_.Change_Interval = true;
  global_.Intervals = seconds;
}

bool clsInstrument::SetGasType(int ch, Integer value) {
  if (!ValidChannel(ch)) return false;
  channels_[ch].GasType = value;
  globalFlags_.Change_GasType = true;
  return true;
}

void clsInstrument::SetPIDLongName(int e, Text value) {
  if (!ValidPidEntry(e)) return;
  pid_[e].PIDLongName = std::move(value);
  pidNameChanged_[e] = true;
}
void clsInstrument::SetPIDName(int e, Text value) {
  if (!ValidPidEntry(e)) return;
  pid_[e].PIDName = std::move(value);
  pidNameChanged_[e] = true;
}

void clsInstrument::ClearDatas() {
  // Identity texts and clock.
  global_.SerialNo = Text(20, ' ');
  global_.DummySerial = Text(20, ' ');
  global_.StationID = Text(16, ' ');
  global_.UserID = Text(16, ' ');
  global_.RomNumber = 0;
  global_.SUM.clear();
  global_.SpecType = "0";
  global_.SysDate = 0;
  global_.SysDateOffset = 0;
  global_.Key.clear();
  global_.MessageString.clear();
  global_.CommFlags = 0;

  // Global settings; AlarmMode, DispID, Confermation, LunchBreak, LcdBackLight,
  // BarHoleTime, IRRange, UsePasswd, AutoZero, ConvFc, Battery and DispSpanFc
  // keep their values.
  global_.DispCalLimit = true;
  global_.CalLimit = 90;
  global_.CalCheck = 2;
  global_.Intervals = 0;
  global_.LogOverWrite = 1;
  global_.AlarmSilence = 1;
  global_.LcdContrast = 8;
  global_.HcMode = 3;
  global_.CurrHc = 0;
  global_.AlarmO2 = 0;
  global_.LogaClear = 1;
  global_.LBMode = 0;
  global_.LeakBeep = 1;
  global_.Password = "8462";
  global_.LogoDisp = 1;
  global_.MEDisp = 1;
  global_.AliveDisp = 0;
  global_.RemainTimeDisp = 1;
  global_.AFapDisp = 1;
  global_.UIgasDisp = 1;
  global_.UWdateDisp = 1;
  global_.BNuserLogoName = Text(20, '-');
  global_.DemandZero = 1;
  global_.CATOther = "---";
  global_.TCOther = "---";
  global_.CATOtherEV = 0;
  global_.CATppm1st = global_.CATppm2nd = 0;
  global_.CATvol1st = global_.CATvol2nd = 0;

  // Gas channel records 0..8; record 9 is never reset. GasFullScale, AltRng and
  // the logged values keep theirs.
  for (int ch = 0; ch <= 8; ++ch) {
    GasChannel& c = channels_[ch];
    c.GasType = kGasTypeNone;
    c.GasName.clear();
    c.AutoCalib = kNoDataValue;
    c.GasDesit = 1.0f;
    c.GasEnabled = false;
    c.GasPoint = 0;
    c.GasUnit.clear();
    c.Alarm = c.Stel = c.Twa = c.Warning = kNoDataValue;
    c.CalibAfter = c.CalibBefore = kNoDataValue;
    c.CalibDate = -101;
    c.Ratio = kNoDataValue;
    c.Zero = 0;
    c.ZeroForce = 0;
    c.changeDenst = 0;
    c.IR_Hi_FullScale = kNoDataValue;
    c.IR_Hi_Point = -101;
    c.IR_Hi_Unit.clear();
    c.AutoRange = 0;
    c.PIDSmallRange = 0;
  }

  ResetTable(xs_);
  ResetTable(xz_);
  xv_.values = {1, 1, 0};
  ResetTable(ug_);
  ResetTable(fl_);
  ResetTable(g1_);
  ResetTable(lo_);
  ResetTable(lb_);
  global_.LN_ = 0;
  ResetTable(la_);
  ResetTable(hh_);
  ResetTable(he_);
  ResetTable(rp_);
  ResetTable(si_);
  pid_.fill({});

  ClearChangeFlags();
}

void clsInstrument::SetChangeFlags(bool value) {
  const bool serialNo = globalFlags_.Change_SerialNo;
  const bool dummySerial = globalFlags_.Change_DummySerial;
#define KV_SET_FLAG(Name) globalFlags_.Name = value;
  KV_GLOBAL_FLAGS(KV_SET_FLAG)
#undef KV_SET_FLAG
  // Only their own setters raise the two serial-number flags.
  globalFlags_.Change_SerialNo = serialNo;
  globalFlags_.Change_DummySerial = dummySerial;

  for (int ch = 0; ch <= 8; ++ch) {
#define KV_SET_FLAG(Name) channelFlags_[ch].Name = value;
    KV_CHANNEL_FLAGS(KV_SET_FLAG)
#undef KV_SET_FLAG
  }
  xs_.changed.fill(value);
  xz_.changed.fill(value);
  xv_.changed.fill(value);
  g1_.changed.fill(value);
  lo_.changed.fill(value);
  lb_.changed.fill(value);
  la_.changed.fill(value);
  fl_.changed.fill(value);
  ug_.changed.fill(value);
  hh_.changed.fill(value);
  he_.changed.fill(value);
  rp_.changed.fill(value);
  si_.changed.fill(value);
  pidNameChanged_.fill(value);
  for (auto& ranges : pidSpecChanged_) ranges.fill(value);
}

void clsInstrument::ClearChangeFlags() {
  SetChangeFlags(false);
  globalFlags_.Change_SerialNo = false;
  globalFlags_.Change_DummySerial = false;
}

void SetRatioChannels(clsInstrument& r) {
  const Single ratio = r.Ratio(0);
  const bool low = ratio < 25000;
  // Channels 7 and 8 always exist, so the setters cannot refuse these indexes.
  bool ok = true;
  ok &= r.SetGasName(7, r.GasName(0));
  ok &= r.SetGasFullScale(7, ratio);
  ok &= r.SetGasDesit(7, low ? 100.0f : 250.0f);
  ok &= r.SetGasPoint(7, 0);
  ok &= r.SetGasUnit(7, "ppm");
  ok &= r.SetGasEnabled(7, r.GasEnabled(0));
  ok &= r.SetWarning(7, static_cast<Single>(r.CATppm1st()));
  ok &= r.SetAlarm(7, static_cast<Single>(r.CATppm2nd()));
  ok &= r.SetStel(7, -121.0f);
  ok &= r.SetTwa(7, -121.0f);

  ok &= r.SetGasName(8, r.GasName(0));
  ok &= r.SetGasFullScale(8, static_cast<Single>(ratio / 1000000.0 * 100.0));
  ok &= r.SetGasDesit(8, low ? 0.01f : 0.05f);
  ok &= r.SetGasPoint(8, 2);
  ok &= r.SetGasUnit(8, "vol%");
  ok &= r.SetGasEnabled(8, r.GasEnabled(0));
  ok &= r.SetWarning(8, r.CATvol1st());
  ok &= r.SetAlarm(8, r.CATvol2nd());
  ok &= r.SetStel(8, -121.0f);
  ok &= r.SetTwa(8, -121.0f);
  (void)ok;
}

}  // namespace kv
