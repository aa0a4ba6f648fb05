#pragma once
// clsInstrument: the in-memory image of one instrument's settings, with a
// change flag beside every writable setting and the validity flags that mark
// replies in an older, shorter form.
//
// Accessor convention (every setting, table entry and flag):
//   getter  Name()            / Name(index)            / Name(entry, range)
//   setter  SetName(value)    / SetName(index, value)  / SetName(entry, range, value)
//   flags   Change_X() / SetChange_X(bool), indexed alike; invalidXX() / SetinvalidXX(bool)
// A setter stores the value and raises the setting's change flag, changed or
// not (Intervals is the one exception). Indexed setters return false and store
// nothing when the index is outside the table: such indexes come from
// instrument replies and files, so the caller must check. A getter outside its
// table returns 0 or "". PID entries outside 0..16 are silently ignored.
#include <array>
#include <string>

#include "model/instrument_types.h"

namespace kv {

// Every global change flag, and every change flag of a gas channel record.
#define KV_GLOBAL_FLAGS(X) \
  X(Change_UserID) X(Change_StationID) X(Change_SerialNo) X(Change_DummySerial) \
  X(Change_AlarmMode) X(Change_Interval) X(Change_DispID) X(Change_DispCalLimit) \
  X(Change_CalLimit) X(Change_CalCheck) X(Change_LunchBreak) X(Change_AlarmSilence) \
  X(Change_Confermation) X(Change_LogOverWrite) X(Change_LcdBackLight) \
  X(Change_LcdContrast) X(Change_HCMode) X(Change_CurrHc) X(Change_AlarmO2) \
  X(Change_SpecType) X(Change_logaClear) X(Change_LBmode) X(Change_BarHoleTime) \
  X(Change_LeakBeep) X(Change_IRRange) X(Change_UsePasswd) X(Change_Password) \
  X(Change_AutoZero) X(Change_ConvFc) X(Change_LogoDisp) X(Change_AFapDisp) \
  X(Change_UIgasDisp) X(Change_UWdateDisp) X(Change_BNuserLogoName) X(Change_MEDisp) \
  X(Change_AliveDisp) X(Change_RemainTimeDisp) X(Change_Battery) X(Change_DispSpanFc) \
  X(Change_DemandZero) X(Change_CATOther) X(Change_CATppm1) X(Change_CATppm2) \
  X(Change_CATvol1) X(Change_CATvol2) X(Change_CATOtherEV) X(Change_TCOther) \
  X(Change_GasType) X(Change_LN_) X(Change_SubBoard)
#define KV_CHANNEL_FLAGS(X) \
  X(Change_GasName) X(Change_GasDesit) X(Change_GasPoint) X(Change_GasUnit) \
  X(Change_GasFullScale) X(Change_GasEnable) X(Change_Warn) X(Change_Alarm) \
  X(Change_Stel) X(Change_Twa) X(Change_AutoCal) X(Change_Zero) X(Change_Ratio) \
  X(Change_OverScale) X(Change_PIDSmallRange) X(Change_AltRng) X(Change_ZeroForce)

// Storage of one gas channel record.
struct GasChannel {
  Text GasName;
  Single GasDesit = 1.0f;
  Integer GasPoint = 0;
  Text GasUnit;
  Single GasFullScale = 0;
  bool GasEnabled = false;
  Integer GasType = kGasTypeNone;
  Single Warning = kNoDataValue;
  Single Alarm = kNoDataValue;
  Single Stel = kNoDataValue;
  Single Twa = kNoDataValue;
  Single AutoCalib = kNoDataValue;
  Date CalibDate = -101;
  Single CalibBefore = kNoDataValue;
  Single CalibAfter = kNoDataValue;
  Integer Zero = 0;
  Integer ZeroForce = 0;
  Integer PIDSmallRange = 0;
  Integer AutoRange = 0;
  Single changeDenst = 0;
  Single IR_Hi_FullScale = kNoDataValue;
  Integer IR_Hi_Point = -101;
  Text IR_Hi_Unit;
  Single Ratio = kNoDataValue;
  Integer AltRng = 0;
  Single LogMax = 0, LogMin = 0, LogAvr = 0;
  Date LogMaxDate = 0, LogMinDate = 0;
};

struct GasChannelFlags {
#define KV_DECLARE_FLAG(Name) bool Name = false;
  KV_CHANNEL_FLAGS(KV_DECLARE_FLAG)
#undef KV_DECLARE_FLAG
};

// One range of one PID table entry.
struct PidRange {
  Single PIDFullScale = 0;
  Integer PIDPoint = 0;
  Text PIDUnit;
  Single PIDDigit = 0, PIDWarn = 0, PIDAlarm = 0, PIDStel = 0, PIDTwa = 0, PIDAutoCal = 0,
         PIDFactor = 0;
};

struct PidEntry {
  Text PIDLongName;
  Text PIDName;
  std::array<PidRange, kPidRanges> ranges{};
};

// A fixed-size table whose entries each carry a change flag.
template <class T, int N>
struct FlaggedTable {
  std::array<T, N> values{};
  std::array<bool, N> changed{};
  static constexpr bool InRange(int i) { return i >= 0 && i < N; }
};

class clsInstrument {
 public:
  clsInstrument() { ClearDatas(); }

  // Resets every setting that has a reset value, then clears the change flags.
  void ClearDatas();
  // Sets every change flag except Change_SerialNo and Change_DummySerial.
  void SetChangeFlags(bool value);
  void ClearChangeFlags();

// ---- global settings with a flag of their own -------------------------------
#define KV_GLOBAL(Type, Name, Flag)                                   \
  Type Name() const { return global_.Name; }                          \
  void Set##Name(Type value) {                                        \
    global_.Name = std::move(value);                                  \
    globalFlags_.Flag = true;                                         \
  }
  KV_GLOBAL(Text, SpecType, Change_SpecType)
  KV_GLOBAL(Integer, AlarmMode, Change_AlarmMode)
  KV_GLOBAL(bool, DispCalLimit, Change_DispCalLimit)
  KV_GLOBAL(Integer, CalLimit, Change_CalLimit)
  KV_GLOBAL(Integer, CalCheck, Change_CalCheck)
  KV_GLOBAL(bool, DispID, Change_DispID)
  KV_GLOBAL(Integer, Confermation, Change_Confermation)
  KV_GLOBAL(Integer, LogOverWrite, Change_LogOverWrite)
  KV_GLOBAL(Integer, LunchBreak, Change_LunchBreak)
  KV_GLOBAL(Integer, AlarmSilence, Change_AlarmSilence)
  KV_GLOBAL(Integer, LcdBackLight, Change_LcdBackLight)
  KV_GLOBAL(Integer, LcdContrast, Change_LcdContrast)
  KV_GLOBAL(Integer, HcMode, Change_HCMode)
  KV_GLOBAL(Integer, CurrHc, Change_CurrHc)
  KV_GLOBAL(Integer, AlarmO2, Change_AlarmO2)
  KV_GLOBAL(Integer, LogaClear, Change_logaClear)
  KV_GLOBAL(Integer, LBMode, Change_LBmode)
  KV_GLOBAL(Integer, BarHoleTime, Change_BarHoleTime)
  KV_GLOBAL(Integer, LeakBeep, Change_LeakBeep)
  KV_GLOBAL(Integer, IRRange, Change_IRRange)
  KV_GLOBAL(Integer, UsePasswd, Change_UsePasswd)
  KV_GLOBAL(Text, Password, Change_Password)
  KV_GLOBAL(Integer, AutoZero, Change_AutoZero)
  KV_GLOBAL(Integer, ConvFc, Change_ConvFc)
  KV_GLOBAL(Integer, LogoDisp, Change_LogoDisp)
  KV_GLOBAL(Integer, MEDisp, Change_MEDisp)
  KV_GLOBAL(Integer, AliveDisp, Change_AliveDisp)
  KV_GLOBAL(Integer, RemainTimeDisp, Change_RemainTimeDisp)
  KV_GLOBAL(Integer, AFapDisp, Change_AFapDisp)
  KV_GLOBAL(Integer, UIgasDisp, Change_UIgasDisp)
  KV_GLOBAL(Integer, UWdateDisp, Change_UWdateDisp)
  KV_GLOBAL(Text, BNuserLogoName, Change_BNuserLogoName)
  KV_GLOBAL(Integer, Battery, Change_Battery)
  KV_GLOBAL(Integer, DemandZero, Change_DemandZero)
  KV_GLOBAL(Integer, DispSpanFc, Change_DispSpanFc)
  KV_GLOBAL(Text, CATOther, Change_CATOther)
  KV_GLOBAL(Text, TCOther, Change_TCOther)
  KV_GLOBAL(Integer, CATOtherEV, Change_CATOtherEV)
  KV_GLOBAL(Long, CATppm1st, Change_CATppm1)
  KV_GLOBAL(Long, CATppm2nd, Change_CATppm2)
  KV_GLOBAL(Single, CATvol1st, Change_CATvol1)
  KV_GLOBAL(Single, CATvol2nd, Change_CATvol2)
  KV_GLOBAL(Integer, LN_, Change_LN_)
#undef KV_GLOBAL

  // Identity texts: an empty or all-blank value is kept as a full-width blank.
  Text SerialNo() const { return global_.SerialNo; }
  void SetSerialNo(Text value);
  Text DummySerial() const { return global_.DummySerial; }
  void SetDummySerial(Text value);
  Text StationID() const { return global_.StationID; }
  void SetStationID(Text value);
  Text UserID() const { return global_.UserID; }
  void SetUserID(Text value);

  // Raises Change_Interval only on a real change.
  Integer Intervals() const { return global_.Intervals; }
  void SetIntervals(Integer seconds);

// ---- values without a change flag ------------------------------------------
#define KV_PLAIN(Type, Name)                       \
  Type Name() const { return global_.Name; }       \
  void Set##Name(Type value) { global_.Name = std::move(value); }
  KV_PLAIN(Long, RomNumber)
  KV_PLAIN(Text, SUM)
  KV_PLAIN(Date, SysDate)
  KV_PLAIN(Date, SysDateOffset)
  KV_PLAIN(Text, Key)
  KV_PLAIN(Text, MessageString)
  KV_PLAIN(Text, FailLine)
  KV_PLAIN(Integer, CommFlags)
  KV_PLAIN(Integer, ImportFlag)
#undef KV_PLAIN

// ---- global flags ------------------------------------------------------------
#define KV_FLAG(Name)                                 \
  bool Name() const { return globalFlags_.Name; }     \
  void Set##Name(bool value) { globalFlags_.Name = value; }
  KV_GLOBAL_FLAGS(KV_FLAG)
#undef KV_FLAG

// ---- validity flags: true when the instrument answered in a shorter form -----
#define KV_VALIDITY(Name)                          \
  bool Name() const { return validity_.Name; }     \
  void Set##Name(bool value) { validity_.Name = value; }
  KV_VALIDITY(invalidHE_) KV_VALIDITY(invalidWB) KV_VALIDITY(invalidFF)
  KV_VALIDITY(invalidLO_) KV_VALIDITY(invalidLB_) KV_VALIDITY(invalidLA_)
  KV_VALIDITY(invalidFL_) KV_VALIDITY(invalidGN) KV_VALIDITY(invalidLP)
  KV_VALIDITY(invalidLI) KV_VALIDITY(invalidG1) KV_VALIDITY(invalidLJ)
#undef KV_VALIDITY

// ---- gas channel records (index 0..9) -----------------------------------------
  static constexpr bool ValidChannel(int ch) { return ch >= 0 && ch < kChannelRecords; }
#define KV_CHANNEL(Type, Name, Flag, OnSubBoard)                              \
  Type Name(int ch) const { return ValidChannel(ch) ? channels_[ch].Name : Type{}; } \
  [[nodiscard]] bool Set##Name(int ch, Type value) {                          \
    if (!ValidChannel(ch)) return false;                                      \
    channels_[ch].Name = std::move(value);                                    \
    channelFlags_[ch].Flag = true;                                            \
    if (OnSubBoard) RaiseSubBoard(ch);                                        \
    return true;                                                              \
  }
  KV_CHANNEL(Text, GasName, Change_GasName, true)
  KV_CHANNEL(Single, GasDesit, Change_GasDesit, true)
  KV_CHANNEL(Integer, GasPoint, Change_GasPoint, true)
  KV_CHANNEL(Text, GasUnit, Change_GasUnit, true)
  KV_CHANNEL(Single, GasFullScale, Change_GasFullScale, true)
  KV_CHANNEL(bool, GasEnabled, Change_GasEnable, true)
  KV_CHANNEL(Single, Warning, Change_Warn, true)
  KV_CHANNEL(Single, Alarm, Change_Alarm, true)
  KV_CHANNEL(Single, Stel, Change_Stel, true)
  KV_CHANNEL(Single, Twa, Change_Twa, true)
  KV_CHANNEL(Single, AutoCalib, Change_AutoCal, true)
  KV_CHANNEL(Integer, Zero, Change_Zero, true)
  KV_CHANNEL(Integer, ZeroForce, Change_ZeroForce, true)
  KV_CHANNEL(Single, Ratio, Change_Ratio, true)
  KV_CHANNEL(Integer, PIDSmallRange, Change_PIDSmallRange, false)
  KV_CHANNEL(Integer, AltRng, Change_AltRng, false)
#undef KV_CHANNEL

  // One Change_GasType flag serves every channel.
  Integer GasType(int ch) const { return ValidChannel(ch) ? channels_[ch].GasType : Integer{}; }
  [[nodiscard]] bool SetGasType(int ch, Integer value);

#define KV_CHANNEL_PLAIN(Type, Name)                                          \
  Type Name(int ch) const { return ValidChannel(ch) ? channels_[ch].Name : Type{}; } \
  [[nodiscard]] bool Set##Name(int ch, Type value) {                          \
    if (!ValidChannel(ch)) return false;                                      \
    channels_[ch].Name = std::move(value);                                    \
    return true;                                                              \
  }
  KV_CHANNEL_PLAIN(Date, CalibDate)
  KV_CHANNEL_PLAIN(Single, CalibBefore)
  KV_CHANNEL_PLAIN(Single, CalibAfter)
  KV_CHANNEL_PLAIN(Integer, AutoRange)
  KV_CHANNEL_PLAIN(Single, changeDenst)
  KV_CHANNEL_PLAIN(Single, IR_Hi_FullScale)
  KV_CHANNEL_PLAIN(Integer, IR_Hi_Point)
  KV_CHANNEL_PLAIN(Text, IR_Hi_Unit)
  KV_CHANNEL_PLAIN(Single, LogMax)
  KV_CHANNEL_PLAIN(Single, LogMin)
  KV_CHANNEL_PLAIN(Single, LogAvr)
  KV_CHANNEL_PLAIN(Date, LogMaxDate)
  KV_CHANNEL_PLAIN(Date, LogMinDate)
#undef KV_CHANNEL_PLAIN

#define KV_CHANNEL_FLAG(Name)                                                  \
  bool Name(int ch) const { return ValidChannel(ch) && channelFlags_[ch].Name; } \
  void Set##Name(int ch, bool value) {                                         \
    if (ValidChannel(ch)) channelFlags_[ch].Name = value;                      \
  }
  KV_CHANNEL_FLAGS(KV_CHANNEL_FLAG)
#undef KV_CHANNEL_FLAG

// ---- tables -------------------------------------------------------------------
// KV_TABLE: a table with a change flag per index; KV_TABLE_FIELD: a further field
// of the same entries sharing that flag; KV_TABLE_PLAIN: no flag at all.
#define KV_TABLE_ACCESS(Type, Name, Table, Member)                              \
  Type Name(int i) const { return Table.InRange(i) ? Table.values[i] Member : Type{}; } \
  [[nodiscard]] bool Set##Name(int i, Type value) {                             \
    if (!Table.InRange(i)) return false;                                        \
    Table.values[i] Member = std::move(value);                                  \
    Raise##Table(i);                                                            \
    return true;                                                                \
  }
#define KV_TABLE_FLAG(FlagName, Table)                                          \
  bool FlagName(int i) const { return Table.InRange(i) && Table.changed[i]; }   \
  void Set##FlagName(int i, bool value) {                                       \
    if (Table.InRange(i)) Table.changed[i] = value;                             \
  }
  KV_TABLE_ACCESS(Text, XS_, xs_, ) KV_TABLE_FLAG(Change_XS_, xs_)
  KV_TABLE_ACCESS(Text, XZ_, xz_, ) KV_TABLE_FLAG(Change_XZ_, xz_)
  KV_TABLE_ACCESS(Integer, XV_, xv_, ) KV_TABLE_FLAG(Change_XV_, xv_)
  KV_TABLE_ACCESS(Text, G1_, g1_, ) KV_TABLE_FLAG(Change_G1_, g1_)
  KV_TABLE_ACCESS(Text, LO_longname, lo_, .longname)
  KV_TABLE_ACCESS(Text, LO_name, lo_, .name)
  KV_TABLE_ACCESS(Integer, LO_fc, lo_, .fc) KV_TABLE_FLAG(Change_LO_, lo_)
  KV_TABLE_ACCESS(Text, LB_longname, lb_, .longname)
  KV_TABLE_ACCESS(Text, LB_name, lb_, .name)
  KV_TABLE_ACCESS(Integer, LB_fc, lb_, .fc) KV_TABLE_FLAG(Change_LB_, lb_)
  KV_TABLE_ACCESS(Single, LA_warn, la_, .warn)
  KV_TABLE_ACCESS(Single, LA_alarm, la_, .alarm)
  KV_TABLE_ACCESS(Single, LA_ratio, la_, .ratio)
  KV_TABLE_ACCESS(Single, LA_volt, la_, .volt) KV_TABLE_FLAG(Change_LA_, la_)
  KV_TABLE_ACCESS(Long, FL_, fl_, ) KV_TABLE_FLAG(Change_FL_, fl_)
  KV_TABLE_ACCESS(Integer, UG_, ug_, ) KV_TABLE_FLAG(Change_UG_, ug_)
  KV_TABLE_ACCESS(Integer, HH_, hh_, ) KV_TABLE_FLAG(Change_HH_, hh_)
  KV_TABLE_ACCESS(Integer, HE_, he_, ) KV_TABLE_FLAG(Change_HE_, he_)
  KV_TABLE_ACCESS(Integer, RP_, rp_, ) KV_TABLE_FLAG(Change_RP_, rp_)
  KV_TABLE_ACCESS(Integer, SI_, si_, ) KV_TABLE_FLAG(Change_SI_, si_)
  KV_TABLE_ACCESS(Integer, SZ_, sz_, )
  KV_TABLE_ACCESS(Integer, S1_, s1_, )
  KV_TABLE_ACCESS(Long, AnalogValue, analog_, )
  KV_TABLE_ACCESS(Single, LimitValue, limit_, )
#undef KV_TABLE_ACCESS
#undef KV_TABLE_FLAG

// ---- PID sensor table (entries 0..16; range 0 high, 1 low) ---------------------
  static constexpr bool ValidPidEntry(int e) { return e >= 0 && e < kPidReachable; }
  static constexpr bool ValidPid(int e, int r) {
    return ValidPidEntry(e) && r >= 0 && r < kPidRanges;
  }
  Text PIDLongName(int e) const { return ValidPidEntry(e) ? pid_[e].PIDLongName : Text{}; }
  void SetPIDLongName(int e, Text value);
  Text PIDName(int e) const { return ValidPidEntry(e) ? pid_[e].PIDName : Text{}; }
  void SetPIDName(int e, Text value);
#define KV_PID(Type, Name)                                                      \
  Type Name(int e, int r) const { return ValidPid(e, r) ? pid_[e].ranges[r].Name : Type{}; } \
  void Set##Name(int e, int r, Type value) {                                    \
    if (!ValidPid(e, r)) return;                                                \
    pid_[e].ranges[r].Name = std::move(value);                                  \
    pidSpecChanged_[e][r] = true;                                               \
  }
  KV_PID(Single, PIDFullScale) KV_PID(Integer, PIDPoint) KV_PID(Text, PIDUnit)
  KV_PID(Single, PIDDigit) KV_PID(Single, PIDWarn) KV_PID(Single, PIDAlarm)
  KV_PID(Single, PIDStel) KV_PID(Single, PIDTwa) KV_PID(Single, PIDAutoCal)
  KV_PID(Single, PIDFactor)
#undef KV_PID
  // The PID flags reach all 18 entries.
  bool Change_PIDName(int e) const { return e >= 0 && e < kPidEntries && pidNameChanged_[e]; }
  void SetChange_PIDName(int e, bool value) {
    if (e >= 0 && e < kPidEntries) pidNameChanged_[e] = value;
  }
  bool Change_PIDSpec(int e, int r) const {
    return e >= 0 && e < kPidEntries && r >= 0 && r < kPidRanges && pidSpecChanged_[e][r];
  }
  void SetChange_PIDSpec(int e, int r, bool value) {
    if (e >= 0 && e < kPidEntries && r >= 0 && r < kPidRanges) pidSpecChanged_[e][r] = value;
  }

  // Table sizes, for loops that walk a whole table.
  static constexpr int kXS = 129, kXZ = 33, kXV = 3, kG1 = 7, kLO = 6, kLB = 31, kLA = 36,
                       kFL = 5, kUG = 8, kHH = 3, kHE = 4, kRP = 3, kSI = 5, kSZ = 10, kS1 = 8,
                       kAnalog = 27, kLimit = 8;

 private:
  struct Globals {
    Text SerialNo, DummySerial, StationID, UserID;
    Long RomNumber = 0;
    Text SUM, SpecType = "0";
    Date SysDate = 0, SysDateOffset = 0;
    Text Key, MessageString, FailLine;
    Integer CommFlags = 0, ImportFlag = 0;
    Integer AlarmMode = 0;
    bool DispCalLimit = true;
    Integer CalLimit = 90, CalCheck = 2, Intervals = 0;
    bool DispID = false;
    Integer Confermation = 0, LogOverWrite = 1, LunchBreak = 0, AlarmSilence = 1,
            LcdBackLight = 0, LcdContrast = 8, HcMode = 3, CurrHc = 0, AlarmO2 = 0,
            LogaClear = 1, LBMode = 0, BarHoleTime = 0, LeakBeep = 1, IRRange = 0,
            UsePasswd = 0;
    Text Password = "8462";
    Integer AutoZero = 0, ConvFc = 0, LogoDisp = 1, MEDisp = 1, AliveDisp = 0,
            RemainTimeDisp = 1, AFapDisp = 1, UIgasDisp = 1, UWdateDisp = 1;
    Text BNuserLogoName;
    Integer Battery = 0, DemandZero = 1, DispSpanFc = 0;
    Text CATOther = "---", TCOther = "---";
    Integer CATOtherEV = 0;
    Long CATppm1st = 0, CATppm2nd = 0;
    Single CATvol1st = 0, CATvol2nd = 0;
    Integer LN_ = 0;
  };
  struct GlobalFlags {
#define KV_DECLARE_FLAG(Name) bool Name = false;
    KV_GLOBAL_FLAGS(KV_DECLARE_FLAG)
#undef KV_DECLARE_FLAG
  };
  struct Validity {
    bool invalidHE_ = false, invalidWB = false, invalidFF = false, invalidLO_ = false,
         invalidLB_ = false, invalidLA_ = false, invalidFL_ = false, invalidGN = false,
         invalidLP = false, invalidLI = false, invalidG1 = false, invalidLJ = false;
  };
  struct ConversionEntry {
    Text longname, name;
    Integer fc = 0;
  };
  struct ConversionLevels {
    Single warn = 0, alarm = 0, ratio = 0, volt = 0;
  };

  void RaiseSubBoard(int ch) {
    if (ch >= 4 && ch <= 6) globalFlags_.Change_SubBoard = true;
  }
#define KV_RAISE(Table) \
  void Raise##Table(int i) { Table.changed[i] = true; }
  KV_RAISE(xs_) KV_RAISE(xz_) KV_RAISE(xv_) KV_RAISE(lo_) KV_RAISE(lb_) KV_RAISE(la_)
  KV_RAISE(fl_) KV_RAISE(ug_) KV_RAISE(hh_) KV_RAISE(he_) KV_RAISE(rp_) KV_RAISE(si_)
  KV_RAISE(sz_) KV_RAISE(s1_) KV_RAISE(analog_) KV_RAISE(limit_)
#undef KV_RAISE
  // G1_ entries 2..4 name the sub-board sensors.
  void Raiseg1_(int i) {
    g1_.changed[i] = true;
    if (i >= 2 && i <= 4) globalFlags_.Change_SubBoard = true;
  }

  Globals global_;
  GlobalFlags globalFlags_;
  Validity validity_;
  std::array<GasChannel, kChannelRecords> channels_{};
  std::array<GasChannelFlags, kChannelRecords> channelFlags_{};
  FlaggedTable<Text, kXS> xs_;
  FlaggedTable<Text, kXZ> xz_;
  FlaggedTable<Integer, kXV> xv_;
  FlaggedTable<Text, kG1> g1_;
  FlaggedTable<ConversionEntry, kLO> lo_;
  FlaggedTable<ConversionEntry, kLB> lb_;
  FlaggedTable<ConversionLevels, kLA> la_;
  FlaggedTable<Long, kFL> fl_;
  FlaggedTable<Integer, kUG> ug_;
  FlaggedTable<Integer, kHH> hh_;
  FlaggedTable<Integer, kHE> he_;
  FlaggedTable<Integer, kRP> rp_;
  FlaggedTable<Integer, kSI> si_;
  // The next tables carry no change flags; their flag arrays are never read.
  FlaggedTable<Integer, kSZ> sz_;
  FlaggedTable<Integer, kS1> s1_;
  FlaggedTable<Long, kAnalog> analog_;
  FlaggedTable<Single, kLimit> limit_;
  std::array<PidEntry, kPidEntries> pid_{};
  std::array<bool, kPidEntries> pidNameChanged_{};
  std::array<std::array<bool, kPidRanges>, kPidEntries> pidSpecChanged_{};
};

// Recomputes the ppm (7) and vol% (8) ratio channels from channel 0 and the
// catalytic ratio settings, through the setters, channel 7 first.
void SetRatioChannels(clsInstrument& record);

}  // namespace kv
