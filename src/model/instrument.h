#pragma once
// clsInstrument: the in-memory image of one instrument's settings, with a
// change flag beside every writable setting and the validity flags that mark
// replies in an older, shorter form. The settings are listed once, one row
// each, in model/instrument_rows.h; this class generates its members from them.
//
// Accessor convention (every setting, table entry and flag):
//   getter  Name()            / Name(index)            / Name(entry, range)
//   setter  SetName(value)    / SetName(index, value)  / SetName(entry, range, value)
//   store   StoreName(value)  / StoreName(index, value)
//   flags   Change_X() / SetChange_X(bool), indexed alike; invalidXX() / SetinvalidXX(bool)
// A setter is an edit: it stores the value and raises the setting's change
// flag, changed or not (Intervals is the one exception). A store is the
// instrument's own value arriving: it stores the value and clears the flag,
// and raises nothing else. Indexed setters and stores return false and store
// nothing when the index is outside the table: such indexes come from
// instrument replies and files, so the caller must check. A getter outside its
// table returns 0 or "". PID entries outside 0..16 are silently ignored.
#include <array>
#include <string>

#include "model/instrument_rows.h"
#include "model/instrument_storage.h"
#include "model/instrument_types.h"

namespace kv {

inline const Text kNoLogoName(20, '-');  // BNuserLogoName after a reset

class clsInstrument {
 public:
  clsInstrument() { ClearDatas(); }

  // Resets every setting that has a reset value, then clears the change flags.
  void ClearDatas();
  // Sets every change flag except Change_SerialNo and Change_DummySerial.
  void SetChangeFlags(bool value);
  void ClearChangeFlags();

// ---- global settings with a flag of their own -------------------------------
#define KV_GLOBAL(Type, Name, Flag, Initial, OnClear, Caption) \
  Type Name() const { return global_.Name; }                   \
  void Set##Name(Type value) {                                 \
    global_.Name = std::move(value);                           \
    globalFlags_.Flag = true;                                  \
  }                                                            \
  void Store##Name(Type value) {                               \
    global_.Name = std::move(value);                           \
    globalFlags_.Flag = false;                                 \
  }
  KV_GLOBAL_SETTINGS(KV_GLOBAL)
#undef KV_GLOBAL

  // Identity texts: an empty or all-blank value is kept as a full-width blank.
  Text SerialNo() const { return global_.SerialNo; }
  void SetSerialNo(Text value);
  void StoreSerialNo(Text value);
  Text DummySerial() const { return global_.DummySerial; }
  void SetDummySerial(Text value);
  void StoreDummySerial(Text value);
  Text StationID() const { return global_.StationID; }
  void SetStationID(Text value);
  Text UserID() const { return global_.UserID; }
  void SetUserID(Text value);

  // Raises Change_Interval only on a real change.
  Integer Intervals() const { return global_.Intervals; }
  void SetIntervals(Integer seconds);
  void StoreIntervals(Integer seconds) {
    global_.Intervals = seconds;
    globalFlags_.Change_Interval = false;
  }

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
#define KV_ROW_FLAG(Type, Name, Flag, Initial, OnClear, Caption) KV_FLAG(Flag)
  KV_OTHER_GLOBAL_FLAGS(KV_FLAG)
  KV_GLOBAL_SETTINGS(KV_ROW_FLAG)
#undef KV_ROW_FLAG
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
#define KV_CHANNEL(Type, Name, Flag, OnSubBoard, Caption)                      \
  Type Name(int ch) const { return ValidChannel(ch) ? channels_[ch].Name : Type{}; } \
  [[nodiscard]] bool Set##Name(int ch, Type value) {                          \
    if (!ValidChannel(ch)) return false;                                      \
    channels_[ch].Name = std::move(value);                                    \
    channelFlags_[ch].Flag = true;                                            \
    if (OnSubBoard) RaiseSubBoard(ch);                                        \
    return true;                                                              \
  }                                                                           \
  [[nodiscard]] bool Store##Name(int ch, Type value) {                        \
    if (!ValidChannel(ch)) return false;                                      \
    channels_[ch].Name = std::move(value);                                    \
    channelFlags_[ch].Flag = false;                                           \
    return true;                                                              \
  }
  KV_CHANNEL_SETTINGS(KV_CHANNEL)
#undef KV_CHANNEL

  // One Change_GasType flag serves every channel.
  Integer GasType(int ch) const { return ValidChannel(ch) ? channels_[ch].GasType : Integer{}; }
  [[nodiscard]] bool SetGasType(int ch, Integer value);
  [[nodiscard]] bool StoreGasType(int ch, Integer value);

#define KV_CHANNEL_PLAIN(Type, Name, Caption)                                 \
  Type Name(int ch) const { return ValidChannel(ch) ? channels_[ch].Name : Type{}; } \
  [[nodiscard]] bool Set##Name(int ch, Type value) {                          \
    if (!ValidChannel(ch)) return false;                                      \
    channels_[ch].Name = std::move(value);                                    \
    return true;                                                              \
  }
  KV_CHANNEL_VALUES(KV_CHANNEL_PLAIN)
#undef KV_CHANNEL_PLAIN

#define KV_CHANNEL_FLAG(Name)                                                  \
  bool Name(int ch) const { return ValidChannel(ch) && channelFlags_[ch].Name; } \
  void Set##Name(int ch, bool value) {                                         \
    if (ValidChannel(ch)) channelFlags_[ch].Name = value;                      \
  }
#define KV_CHANNEL_ROW_FLAG(Type, Name, Flag, OnSubBoard, Caption) KV_CHANNEL_FLAG(Flag)
  KV_CHANNEL_SETTINGS(KV_CHANNEL_ROW_FLAG)
  KV_OTHER_CHANNEL_FLAGS(KV_CHANNEL_FLAG)
#undef KV_CHANNEL_ROW_FLAG
#undef KV_CHANNEL_FLAG

// ---- tables -------------------------------------------------------------------
// Every field of a table entry shares the entry's change flag.
#define KV_TABLE_FIELD(Type, Name, Table, Member, Size, Flag, Caption)          \
  Type Name(int i) const { return Table.InRange(i) ? Table.values[i] Member : Type{}; } \
  [[nodiscard]] bool Set##Name(int i, Type value) {                             \
    if (!Table.InRange(i)) return false;                                        \
    Table.values[i] Member = std::move(value);                                  \
    Raise##Table(i);                                                            \
    return true;                                                                \
  }                                                                             \
  [[nodiscard]] bool Store##Name(int i, Type value) {                           \
    if (!Table.InRange(i)) return false;                                        \
    Table.values[i] Member = std::move(value);                                  \
    Table.changed[i] = false;                                                   \
    return true;                                                                \
  }
  KV_TABLE_FIELDS(KV_TABLE_FIELD)
#undef KV_TABLE_FIELD
#define KV_PLAIN_TABLE(Type, Name, Table, Size, Caption)                        \
  Type Name(int i) const { return Table.InRange(i) ? Table.values[i] : Type{}; } \
  [[nodiscard]] bool Set##Name(int i, Type value) {                             \
    if (!Table.InRange(i)) return false;                                        \
    Table.values[i] = std::move(value);                                         \
    return true;                                                                \
  }
  KV_PLAIN_TABLES(KV_PLAIN_TABLE)
#undef KV_PLAIN_TABLE
#define KV_TABLE_FLAG(FlagName, Table)                                          \
  bool FlagName(int i) const { return Table.InRange(i) && Table.changed[i]; }   \
  void Set##FlagName(int i, bool value) {                                       \
    if (Table.InRange(i)) Table.changed[i] = value;                             \
  }
  KV_TABLE_FLAG(Change_XS_, xs_) KV_TABLE_FLAG(Change_XZ_, xz_) KV_TABLE_FLAG(Change_XV_, xv_)
  KV_TABLE_FLAG(Change_G1_, g1_) KV_TABLE_FLAG(Change_LO_, lo_) KV_TABLE_FLAG(Change_LB_, lb_)
  KV_TABLE_FLAG(Change_LA_, la_) KV_TABLE_FLAG(Change_FL_, fl_) KV_TABLE_FLAG(Change_UG_, ug_)
  KV_TABLE_FLAG(Change_HH_, hh_) KV_TABLE_FLAG(Change_HE_, he_) KV_TABLE_FLAG(Change_RP_, rp_)
  KV_TABLE_FLAG(Change_SI_, si_)
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
  // Both names of an entry as the instrument holds them; clears Change_PIDName.
  void StorePIDNames(int e, Text longName, Text name);
#define KV_PID(Type, Name, Caption)                                             \
  Type Name(int e, int r) const { return ValidPid(e, r) ? pid_[e].ranges[r].Name : Type{}; } \
  void Set##Name(int e, int r, Type value) {                                    \
    if (!ValidPid(e, r)) return;                                                \
    pid_[e].ranges[r].Name = std::move(value);                                  \
    pidSpecChanged_[e][r] = true;                                               \
  }
  KV_PID_FIELDS(KV_PID)
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
  // The member initialisers are the values of a new record and, for the rows
  // whose OnClear is Reset, the values after ClearDatas.
  struct Globals {
    Text SerialNo = Text(20, ' '), DummySerial = Text(20, ' ');
    Text StationID = Text(16, ' '), UserID = Text(16, ' ');
    Integer Intervals = 0;
    Long RomNumber = 0;
    Text SUM;
    Date SysDate = 0, SysDateOffset = 0;
    Text Key, MessageString, FailLine;
    Integer CommFlags = 0, ImportFlag = 0;
#define KV_DECLARE_SETTING(Type, Name, Flag, Initial, OnClear, Caption) Type Name = Initial;
    KV_GLOBAL_SETTINGS(KV_DECLARE_SETTING)
#undef KV_DECLARE_SETTING
  };
  struct GlobalFlags {
#define KV_DECLARE_FLAG(Name) bool Name = false;
#define KV_DECLARE_ROW_FLAG(Type, Name, Flag, Initial, OnClear, Caption) bool Flag = false;
    KV_OTHER_GLOBAL_FLAGS(KV_DECLARE_FLAG)
    KV_GLOBAL_SETTINGS(KV_DECLARE_ROW_FLAG)
#undef KV_DECLARE_ROW_FLAG
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
  // The next tables carry no change flags.
  PlainTable<Integer, kSZ> sz_;
  PlainTable<Integer, kS1> s1_;
  PlainTable<Long, kAnalog> analog_;
  PlainTable<Single, kLimit> limit_;
  std::array<PidEntry, kPidEntries> pid_{};
  std::array<bool, kPidEntries> pidNameChanged_{};
  std::array<std::array<bool, kPidRanges>, kPidEntries> pidSpecChanged_{};
};

// The catalytic ratio channels and their fixed decimal places. The ratio
// levels (AC) are coded with these places on the wire and in files, whether
// or not the ratio channels of a record were computed yet (a file loaded into
// a fresh record, a reply before the first recomputation).
inline constexpr int kRatioPpmChannel = 7;
inline constexpr int kRatioVolChannel = 8;
inline constexpr Integer kRatioPpmPoint = 0;
inline constexpr Integer kRatioVolPoint = 2;

// Recomputes the ppm (7) and vol% (8) ratio channels from channel 0 and the
// catalytic ratio settings, through the setters, channel 7 first.
void SetRatioChannels(clsInstrument& record);

}  // namespace kv
