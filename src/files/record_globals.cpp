// Records of the instrument's global settings.
#include <array>

#include "files/record_fields.h"
#include "protocol/codecs.h"
#include "protocol/field_parse.h"

namespace kv::record {
namespace {

enum class Digits { Decimal, Hexadecimal };

constexpr Integer kLowestUsableDa = 30;  // a D/A value below this is an unset one
constexpr Integer kDefaultDa = 170;      // "AA"

std::optional<Integer> ReadInteger(RecordLine& line, int i, Digits digits) {
  return digits == Digits::Decimal ? line.Dec16(i) : line.Hex16(i);
}

// One whole number, read in the digits its write line carries. (Some of them,
// XB and AL, the instrument reports in hexadecimal; a file holds write lines,
// so a value of 10 or more survives the round trip only when read as written.)
template <void (clsInstrument::*Set)(Integer), Digits D>
bool OneInteger(clsInstrument& r, RecordLine& line) {
  const auto value = ReadInteger(line, 0, D);
  if (!value) return false;
  (r.*Set)(*value);
  return true;
}

template <void (clsInstrument::*Set)(bool)>
bool OneFlag(clsInstrument& r, RecordLine& line) {
  (r.*Set)(line.TextField(0) == "1");
  return true;
}

template <void (clsInstrument::*Set)(Text)>
bool OneText(clsInstrument& r, RecordLine& line) {
  (r.*Set)(line.TextField(0));
  return true;
}

template <void (clsInstrument::*SetFirst)(Integer), void (clsInstrument::*SetSecond)(Integer)>
bool TwoDecimals(clsInstrument& r, RecordLine& line) {
  const auto first = line.Dec16(0);
  if (!first) return false;
  (r.*SetFirst)(*first);
  const auto second = line.Dec16(1);
  if (!second) return false;
  (r.*SetSecond)(*second);
  return true;
}

// Indexes 0..count-1 of a table, one hexadecimal field each.
template <bool (clsInstrument::*Set)(int, Integer), int Count>
bool HexTable(clsInstrument& r, RecordLine& line) {
  for (int i = 0; i < Count; ++i) {
    const auto value = line.Hex16(i);
    if (!value || !line.Stored((r.*Set)(i, *value), i)) return false;
  }
  return true;
}

bool ReadXP(clsInstrument& r, RecordLine& line) {
  const auto code = line.Dec16(0);
  if (!code) return false;
  r.SetIntervals(static_cast<Integer>(IntervalSeconds(*code)));
  return true;
}

// Modes 0 to 2 decide the current mode; mode 3 (and any other) keeps the one read.
bool ReadLP(clsInstrument& r, RecordLine& line) {
  const auto mode = line.Dec16(0);
  if (!mode) return false;
  r.SetHcMode(*mode);
  if (line.TokenCount() < 4) {
    r.SetinvalidLP(true);
    return true;
  }
  if (IsNumeric(line.Field(1))) {
    const auto current = line.Dec16(1);
    if (!current) return false;
    r.SetCurrHc(*current);
  }
  struct Forced {
    Integer mode, current;
  };
  for (const auto forced : {Forced{0, 2}, Forced{1, 0}, Forced{2, 1}}) {
    if (*mode == forced.mode) r.SetCurrHc(forced.current);
  }
  r.SetinvalidLP(false);
  return true;
}

bool ReadWB(clsInstrument& r, RecordLine& line) {
  // The write line carries all three in decimal (the instrument's reply
  // reports the first two in hexadecimal).
  const auto mode = line.Dec16(0);
  if (!mode) return false;
  r.SetLBMode(*mode);
  const auto holeTime = line.Dec16(1);
  if (!holeTime) return false;
  r.SetBarHoleTime(*holeTime);
  if (line.TokenCount() < 5) {
    r.SetinvalidWB(true);
    return true;
  }
  const auto beep = line.Dec16(2);
  if (!beep) return false;
  r.SetLeakBeep(*beep);
  r.SetinvalidWB(false);
  return true;
}

bool ReadHE(clsInstrument& r, RecordLine& line) {
  const bool complete = line.TokenCount() >= 5;
  for (int i = 0; i < (complete ? 3 : 2); ++i) {
    const auto value = line.Hex16(i);
    if (!value || !line.Stored(r.SetHE_(i, *value), i)) return false;
  }
  r.SetinvalidHE_(!complete);
  // Also after a short record, whose third value is an older one.
  if (r.HE_(2) < kLowestUsableDa && !r.SetHE_(2, kDefaultDa)) return false;
  return true;
}

bool ReadAC(clsInstrument& r, RecordLine& line) {
  const int ppmPlaces = kRatioPpmPoint;
  const int volPlaces = kRatioVolPoint;
  // The ppm levels are whole numbers.
  const auto ppm1 = RoundToLong(line.Reading(0, ppmPlaces));
  const auto ppm2 = RoundToLong(line.Reading(1, ppmPlaces));
  if (!ppm1 || !ppm2) return line.Fail("a ppm level is beyond the Long range");
  r.SetCATppm1st(static_cast<Long>(*ppm1));
  r.SetCATppm2nd(static_cast<Long>(*ppm2));
  r.SetCATvol1st(line.Reading(2, volPlaces));
  r.SetCATvol2nd(line.Reading(3, volPlaces));
  return true;
}

using C = clsInstrument;
constexpr auto kDec = Digits::Decimal;
constexpr auto kHex = Digits::Hexadecimal;

constexpr std::array kGlobalRules{
    RecordRule{"XV", HexTable<&C::SetXV_, 2>, 2},
    RecordRule{"AP", OneInteger<&C::SetAlarmMode, kDec>, 1},
    RecordRule{"XP", ReadXP, 1},
    RecordRule{"XI", OneFlag<&C::SetDispID>, 1},
    RecordRule{"SD", OneFlag<&C::SetDispCalLimit>, 1},
    RecordRule{"SM", OneInteger<&C::SetCalCheck, kDec>, 1},
    RecordRule{"SC", OneInteger<&C::SetCalLimit, kHex>, 1},
    RecordRule{"XL", OneInteger<&C::SetLunchBreak, kDec>, 1},
    RecordRule{"XA", OneInteger<&C::SetAlarmSilence, kDec>, 1},
    RecordRule{"XB", OneInteger<&C::SetConfermation, kDec>, 1},
    RecordRule{"XW", OneInteger<&C::SetLogOverWrite, kDec>, 1},
    RecordRule{"XT", OneInteger<&C::SetLcdBackLight, kHex>, 1},
    RecordRule{"UL", OneInteger<&C::SetLcdContrast, kHex>, 1},
    RecordRule{"WB", ReadWB, 2},
    RecordRule{"FH", OneInteger<&C::SetCATOtherEV, kDec>, 1},
    RecordRule{"AT", OneInteger<&C::SetAlarmO2, kDec>, 1},
    RecordRule{"UJ", OneText<&C::SetSpecType>, 1},
    RecordRule{"LP", ReadLP, 1},
    RecordRule{"XC", OneInteger<&C::SetLogaClear, kDec>, 1},
    RecordRule{"AC", ReadAC, 4},
    RecordRule{"HH", HexTable<&C::SetHH_, 2>, 2},
    RecordRule{"HE", ReadHE, 2},
    RecordRule{"SJ", OneInteger<&C::SetAutoZero, kDec>, 1},
    RecordRule{"LF", OneInteger<&C::SetConvFc, kDec>, 1},
    RecordRule{"UV", OneInteger<&C::SetLogoDisp, kDec>, 1},
    RecordRule{"AF", OneInteger<&C::SetAFapDisp, kDec>, 1},
    RecordRule{"UI", OneInteger<&C::SetUIgasDisp, kDec>, 1},
    RecordRule{"UW", OneInteger<&C::SetUWdateDisp, kDec>, 1},
    RecordRule{"BN", OneText<&C::SetBNuserLogoName>, 1},
    RecordRule{"XE", TwoDecimals<&C::SetMEDisp, &C::SetAliveDisp>, 2},
    RecordRule{"XD", OneInteger<&C::SetRemainTimeDisp, kDec>, 1},
    RecordRule{"AL", OneInteger<&C::SetUsePasswd, kDec>, 1},
    RecordRule{"AQ", OneText<&C::SetPassword>, 1},
    RecordRule{"HB", OneInteger<&C::SetBattery, kDec>, 1},
    RecordRule{"SG", TwoDecimals<&C::SetDemandZero, &C::SetDispSpanFc>, 2},
};

}  // namespace

const RecordRule* GlobalRecordRule(std::string_view code) { return FindRecordRule(kGlobalRules, code); }

}  // namespace kv::record
