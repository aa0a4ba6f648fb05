#include "model/instrument.h"

#include <algorithm>

namespace kv {
namespace {

// An empty or all-blank identity text is kept as a blank of its full width.
Text BlankToWidth(Text value, std::size_t width) {
  const bool blank = std::all_of(value.begin(), value.end(), [](char c) { return c == ' '; });
  return blank ? Text(width, ' ') : value;
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
void clsInstrument::StoreSerialNo(Text value) {
  SetSerialNo(std::move(value));
  globalFlags_.Change_SerialNo = false;
}
void clsInstrument::StoreDummySerial(Text value) {
  SetDummySerial(std::move(value));
  globalFlags_.Change_DummySerial = false;
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
bool clsInstrument::StoreGasType(int ch, Integer value) {
  if (!ValidChannel(ch)) return false;
  channels_[ch].GasType = value;
  globalFlags_.Change_GasType = false;
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
void clsInstrument::StorePIDNames(int e, Text longName, Text name) {
  if (!ValidPidEntry(e)) return;
  pid_[e].PIDLongName = std::move(longName);
  pid_[e].PIDName = std::move(name);
  pidNameChanged_[e] = false;
}

// Resets by building fresh values (the member initialisers) and carrying over
// what the reset keeps: one place knows each reset value, and whole-object
// moves replace a long run of assignments.
void clsInstrument::ClearDatas() {
  Globals fresh;
#define KV_CARRY_Keep(Name) fresh.Name = std::move(global_.Name);
#define KV_CARRY_Reset(Name)
#define KV_CARRY(Type, Name, Flag, Initial, OnClear, Caption) KV_CARRY_##OnClear(Name)
  KV_GLOBAL_SETTINGS(KV_CARRY)
#undef KV_CARRY
#undef KV_CARRY_Reset
#undef KV_CARRY_Keep
  // The owner's failed-reply key and import flag survive a reset.
  fresh.FailLine = std::move(global_.FailLine);
  fresh.ImportFlag = global_.ImportFlag;
  global_ = std::move(fresh);

  // Gas channel records 0..8; record 9 is never reset. The full scale, the
  // alternate range and the logged values survive.
  for (int ch = 0; ch <= 8; ++ch) {
    GasChannel& old = channels_[ch];
    GasChannel reset;
    reset.GasFullScale = old.GasFullScale;
    reset.AltRng = old.AltRng;
    reset.LogMax = old.LogMax;
    reset.LogMin = old.LogMin;
    reset.LogAvr = old.LogAvr;
    reset.LogMaxDate = old.LogMaxDate;
    reset.LogMinDate = old.LogMinDate;
    old = std::move(reset);
  }

  // The flagged tables start empty (SZ_, S1_, AnalogValue and LimitValue
  // survive); the selections point at station 1 and user 1.
  xs_.values.fill({});
  xz_.values.fill({});
  xv_.values = {1, 1, 0};
  g1_.values.fill({});
  lo_.values.fill({});
  lb_.values.fill({});
  la_.values.fill({});
  fl_.values.fill({});
  ug_.values.fill({});
  hh_.values.fill({});
  he_.values.fill({});
  rp_.values.fill({});
  si_.values.fill({});
  pid_.fill({});

  ClearChangeFlags();
}

void clsInstrument::SetChangeFlags(bool value) {
  const bool serialNo = globalFlags_.Change_SerialNo;
  const bool dummySerial = globalFlags_.Change_DummySerial;
#define KV_SET_FLAG(Name) globalFlags_.Name = value;
#define KV_SET_ROW_FLAG(Type, Name, Flag, Initial, OnClear, Caption) KV_SET_FLAG(Flag)
  KV_OTHER_GLOBAL_FLAGS(KV_SET_FLAG)
  KV_GLOBAL_SETTINGS(KV_SET_ROW_FLAG)
#undef KV_SET_ROW_FLAG
#undef KV_SET_FLAG
  // Only their own setters raise the two serial-number flags.
  globalFlags_.Change_SerialNo = serialNo;
  globalFlags_.Change_DummySerial = dummySerial;

  GasChannelFlags channelFlags;
#define KV_SET_FLAG(Name) channelFlags.Name = value;
#define KV_SET_ROW_FLAG(Type, Name, Flag, OnSubBoard, Caption) KV_SET_FLAG(Flag)
  KV_CHANNEL_SETTINGS(KV_SET_ROW_FLAG)
  KV_OTHER_CHANNEL_FLAGS(KV_SET_FLAG)
#undef KV_SET_ROW_FLAG
#undef KV_SET_FLAG
  for (int ch = 0; ch <= 8; ++ch) channelFlags_[ch] = channelFlags;
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
  ok &= r.SetGasPoint(kRatioPpmChannel, kRatioPpmPoint);
  ok &= r.SetGasUnit(7, "ppm");
  ok &= r.SetGasEnabled(7, r.GasEnabled(0));
  ok &= r.SetWarning(7, static_cast<Single>(r.CATppm1st()));
  ok &= r.SetAlarm(7, static_cast<Single>(r.CATppm2nd()));
  ok &= r.SetStel(7, -121.0f);
  ok &= r.SetTwa(7, -121.0f);

  ok &= r.SetGasName(8, r.GasName(0));
  ok &= r.SetGasFullScale(8, static_cast<Single>(ratio / 1000000.0 * 100.0));
  ok &= r.SetGasDesit(8, low ? 0.01f : 0.05f);
  ok &= r.SetGasPoint(kRatioVolChannel, kRatioVolPoint);
  ok &= r.SetGasUnit(8, "vol%");
  ok &= r.SetGasEnabled(8, r.GasEnabled(0));
  ok &= r.SetWarning(8, r.CATvol1st());
  ok &= r.SetAlarm(8, r.CATvol2nd());
  ok &= r.SetStel(8, -121.0f);
  ok &= r.SetTwa(8, -121.0f);
  (void)ok;
}

}  // namespace kv
