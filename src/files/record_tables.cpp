// Records of the lists and tables: stations, users, conversion tables and
// their levels, the PID table and the G1 names.
#include <array>

#include "files/record_fields.h"
#include "protocol/codecs.h"
#include "protocol/field_parse.h"

namespace kv::record {
namespace {

constexpr int kLowRange = 1;
constexpr int kHighRange = 0;
constexpr std::size_t kFullFactorDigits = 4;
constexpr std::size_t kShortFactorDigits = 2;

// Station and user lists carry the entry number (1-based) in hexadecimal.
template <bool (clsInstrument::*Set)(int, Text)>
bool ListEntry(clsInstrument& r, RecordLine& line) {
  const auto number = line.Hex16(0);
  if (!number) return false;
  const int entry = *number - 1;
  return line.Stored((r.*Set)(entry, line.TextField(1)), entry);
}

std::optional<Integer> ReadIndex(RecordLine& line, bool decimal) {
  return decimal ? line.Dec16(0) : line.Hex16(0);
}

// A conversion table entry; the factor has four hexadecimal digits, or two in
// the older form, which the validity flag records.
template <bool Decimal, bool (clsInstrument::*SetLongName)(int, Text),
          bool (clsInstrument::*SetName)(int, Text), bool (clsInstrument::*SetFactor)(int, Integer),
          void (clsInstrument::*SetInvalid)(bool)>
bool ConversionEntry(clsInstrument& r, RecordLine& line) {
  const auto index = ReadIndex(line, Decimal);
  if (!index) return false;
  if (!line.Stored((r.*SetLongName)(*index, line.TextField(1)), *index)) return false;
  (void)(r.*SetName)(*index, line.TextField(2));
  const std::string& digits = line.Field(3);
  const bool fullFactor = digits.size() == kFullFactorDigits;
  const auto factor = ParseHex16(fullFactor ? digits : digits.substr(0, kShortFactorDigits));
  if (!factor) return line.Fail("field 4 (\"" + digits + "\") is not a factor");
  (void)(r.*SetFactor)(*index, *factor);
  (r.*SetInvalid)(!fullFactor);
  return true;
}

bool ReadLN(clsInstrument& r, RecordLine& line) {
  const auto count = line.Hex16(0);
  if (!count) return false;
  r.SetLN_(*count);
  return true;
}

// The two levels are readings of the catalytic channel.
bool ReadLA(clsInstrument& r, RecordLine& line) {
  const auto index = line.Hex16(0);
  if (!index) return false;
  const int places = r.GasPoint(0);
  if (!line.Stored(r.SetLA_warn(*index, line.Reading(1, places)), *index)) return false;
  (void)r.SetLA_alarm(*index, line.Reading(2, places));
  const auto ratio = line.Hex32(3);
  if (!ratio) return false;
  (void)r.SetLA_ratio(*index, static_cast<Single>(RawToValue(*ratio)));
  const auto mode = line.Decimal(4);
  if (!mode) return false;
  (void)r.SetLA_volt(*index, *mode);
  return true;
}

// PID entries outside 0..16 are ignored by the record, as everywhere.
bool ReadLS(clsInstrument& r, RecordLine& line) {
  const auto entry = line.Hex16(0);
  if (!entry) return false;
  r.SetPIDLongName(*entry, line.TextField(1));
  r.SetPIDName(*entry, line.TextField(2));
  return true;
}

// One range of a PID entry. The decimal places come first, so that the
// values use the new ones. Only the low range has an older form without
// the factor.
template <int Range>
bool PidRange(clsInstrument& r, RecordLine& line) {
  const auto entry = line.Hex16(0);
  const auto places = entry ? line.Dec16(2) : std::nullopt;
  if (!places) return false;
  const int e = *entry;
  r.SetPIDPoint(e, Range, *places);
  r.SetPIDFullScale(e, Range, line.Reading(1, *places));
  const auto unit = line.Dec16(3);
  if (!unit) return false;
  r.SetPIDUnit(e, Range, UnitText(*unit));
  r.SetPIDDigit(e, Range, line.Reading(4, *places));
  r.SetPIDWarn(e, Range, line.Reading(5, *places));
  r.SetPIDAlarm(e, Range, line.Reading(6, *places));
  r.SetPIDStel(e, Range, line.Reading(7, *places));
  r.SetPIDTwa(e, Range, line.Reading(8, *places));
  r.SetPIDAutoCal(e, Range, line.Reading(9, *places));
  const bool hasFactor = Range == kHighRange || line.TokenCount() >= 13;
  if (hasFactor) {
    const auto factor = line.Hex32(10);
    if (!factor) return false;
    r.SetPIDFactor(e, Range, static_cast<Single>(*factor));
  }
  if (Range == kLowRange) r.SetinvalidLI(!hasFactor);
  return true;
}

bool ReadG1(clsInstrument& r, RecordLine& line) {
  const auto index = line.Dec16(0);
  if (!index) return false;
  return line.Stored(r.SetG1_(*index, line.TextField(1)), *index);
}

using C = clsInstrument;

constexpr std::array kTableRules{
    RecordRule{"XZ", ListEntry<&C::SetXZ_>, 2},
    RecordRule{"XS", ListEntry<&C::SetXS_>, 2},
    RecordRule{"LO", ConversionEntry<true, &C::SetLO_longname, &C::SetLO_name, &C::SetLO_fc,
                                      &C::SetinvalidLO_>, 4},
    RecordRule{"LN", ReadLN, 1},
    RecordRule{"LB", ConversionEntry<false, &C::SetLB_longname, &C::SetLB_name, &C::SetLB_fc,
                                      &C::SetinvalidLB_>, 4},
    RecordRule{"LA", ReadLA, 5},
    RecordRule{"LS", ReadLS, 3},
    RecordRule{"LI", PidRange<kLowRange>, 10},
    RecordRule{"LJ", PidRange<kHighRange>, 11},
    RecordRule{"G1", ReadG1, 2},
};

}  // namespace

const RecordRule* TableRecordRule(std::string_view code) { return FindRecordRule(kTableRules, code); }

}  // namespace kv::record
