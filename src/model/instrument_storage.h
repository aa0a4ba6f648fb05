#pragma once
// Storage behind clsInstrument: one gas channel record with its flags, one
// PID table entry, and the fixed-size tables.
#include <array>

#include "model/instrument_rows.h"
#include "model/instrument_types.h"

namespace kv {

// Storage of one gas channel record; the initialisers are its reset values.
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
#define KV_DECLARE_ROW_FLAG(Type, Name, Flag, OnSubBoard, Caption) bool Flag = false;
  KV_CHANNEL_SETTINGS(KV_DECLARE_ROW_FLAG)
  KV_OTHER_CHANNEL_FLAGS(KV_DECLARE_FLAG)
#undef KV_DECLARE_ROW_FLAG
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

template <class T, int N>
struct PlainTable {
  std::array<T, N> values{};
  static constexpr bool InRange(int i) { return i >= 0 && i < N; }
};

}  // namespace kv
