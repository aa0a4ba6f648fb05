// Records of the seven sensor channels and the catalytic sensor.
#include <array>
#include <cmath>

#include "files/record_fields.h"
#include "protocol/codecs.h"
#include "protocol/field_parse.h"

namespace kv::record {
namespace {

constexpr std::array<int, 4> kSelectableChannels{0, 4, 5, 6};
constexpr int kFirstSubBoardChannel = 4;
constexpr int kLastSubBoardChannel = 6;
constexpr std::string_view kNoSensorField = "@";
constexpr int kGjFieldsPerChannel = 4;

// Every channel index used below exists in the record, so the channel
// setters' answers are not needed.

bool ReadGN(clsInstrument& r, RecordLine& line) {
  (void)r.SetGasName(0, line.TextField(0));
  r.SetCATOther(line.TextField(1));
  for (int k = kFirstSubBoardChannel; k <= kLastSubBoardChannel; ++k) {
    (void)r.SetGasName(k, line.TextField(k - 2));
  }
  const bool complete = line.TokenCount() >= 8;
  if (complete) r.SetTCOther(line.TextField(5));
  r.SetinvalidGN(!complete);
  return true;
}

bool ReadGP(clsInstrument& r, RecordLine& line) {
  for (int k = 0; k < kSensorChannels; ++k) {
    const auto places = line.Dec16(k);
    if (!places) return false;
    (void)r.SetGasPoint(k, *places);
  }
  return true;
}

template <bool (clsInstrument::*Set)(int, Single)>
bool SelectableReadings(clsInstrument& r, RecordLine& line) {
  for (int i = 0; i < static_cast<int>(kSelectableChannels.size()); ++i) {
    const int k = kSelectableChannels[static_cast<std::size_t>(i)];
    (void)(r.*Set)(k, line.Reading(i, r.GasPoint(k)));
  }
  return true;
}

bool ReadGU(clsInstrument& r, RecordLine& line) {
  for (int i = 0; i < static_cast<int>(kSelectableChannels.size()); ++i) {
    const auto unit = line.Dec16(i);
    if (!unit) return false;
    (void)r.SetGasUnit(kSelectableChannels[static_cast<std::size_t>(i)], UnitText(*unit));
  }
  return true;
}

bool ReadGJ(clsInstrument& r, RecordLine& line) {
  for (int k = 0; k < kSensorChannels; ++k) {
    const int first = k * kGjFieldsPerChannel;
    const int places = r.GasPoint(k);
    (void)r.SetGasName(k, line.TextField(first));
    (void)r.SetGasFullScale(k, line.Reading(first + 1, places));
    (void)r.SetGasDesit(k, line.Reading(first + 2, places));
    const auto unit = line.Dec16(first + 3);
    if (!unit) return false;
    (void)r.SetGasUnit(k, UnitText(*unit));
  }
  return true;
}

// One character per channel: its code minus "0" is the output mask, and a
// channel with any output is enabled.
bool ReadUG(clsInstrument& r, RecordLine& line) {
  for (int k = 0; k < kSensorChannels; ++k) {
    const std::string& field = line.Field(k);
    if (field.empty()) return line.Fail("field " + std::to_string(k + 1) + " is empty");
    const auto mask = static_cast<Integer>(static_cast<unsigned char>(field.front()) - '0');
    (void)r.SetUG_(k, mask);
    (void)r.SetGasEnabled(k, mask != 0);
  }
  return true;
}

// "@" marks a channel without a sensor: it reads as `noSensor`. IT's other
// fields are read in hexadecimal, as the file format has always read them;
// US's in decimal, as its write line carries them.
template <bool (clsInstrument::*Set)(int, Integer), Integer NoSensor, bool Hexadecimal>
bool ChannelTypes(clsInstrument& r, RecordLine& line) {
  for (int k = 0; k < kSensorChannels; ++k) {
    Integer value = NoSensor;
    if (Trim(line.Field(k)) != kNoSensorField) {
      const auto read = Hexadecimal ? line.Hex16(k) : line.Dec16(k);
      if (!read) return false;
      value = *read;
    }
    (void)(r.*Set)(k, value);
  }
  return true;
}

template <bool (clsInstrument::*Set)(int, Single)>
bool ChannelReadings(clsInstrument& r, RecordLine& line) {
  for (int k = 0; k < kSensorChannels; ++k) {
    (void)(r.*Set)(k, line.Reading(k, r.GasPoint(k)));
  }
  return true;
}

// A catalytic channel's value is a raw sensor count: value = raw x
// GasFullScale / FL_(0). Codes are not scaled; without a sensor reference
// there is no value.
Single CatalyticAutoCalib(const clsInstrument& r, const std::string& field, int k) {
  const int places = r.GasPoint(k);
  if (!IsHexadecimal(field) || DecodeSpecialCode(field)) return DecodeReading(field, places);
  const auto raw = ParseHex32(field);
  const double reference = r.FL_(0);
  if (!raw || reference == 0.0) return kNoData;
  const double count =
      static_cast<double>(RawToValue(*raw)) * static_cast<double>(r.GasFullScale(k)) / reference;
  return DecodeCount(count, places);
}

bool ReadSA(clsInstrument& r, RecordLine& line) {
  for (int k = 0; k < kSensorChannels; ++k) {
    const Single value = r.GasType(k) == kGasTypeCatalytic
                             ? CatalyticAutoCalib(r, line.Field(k), k)
                             : line.Reading(k, r.GasPoint(k));
    (void)r.SetAutoCalib(k, value);
  }
  return true;
}

bool ReadUZ(clsInstrument& r, RecordLine& line) {
  const auto mask = line.Hex16(0);
  if (!mask) return false;
  for (int k = 0; k < kSensorChannels; ++k) {
    (void)r.SetZero(k, static_cast<Integer>((*mask >> k) & 1));
  }
  return true;
}

// Bits 1 to 3: the alternate ranges of channels 1 to 3.
bool ReadLR(clsInstrument& r, RecordLine& line) {
  const auto bits = line.Hex16(0);
  if (!bits) return false;
  for (int k = 1; k <= 3; ++k) {
    (void)r.SetAltRng(k, static_cast<Integer>((*bits >> k) & 1));
  }
  return true;
}

// The optional channels' fields go to the setting their sensor type uses, so
// the gas types (IT, earlier in the file) must already be known.
bool ReadFF(clsInstrument& r, RecordLine& line) {
  const auto range = line.Dec16(0);  // written in decimal
  if (!range) return false;
  r.SetIRRange(*range);
  if (line.TokenCount() < 6) {
    r.SetinvalidFF(true);
    return true;
  }
  for (int k = kFirstSubBoardChannel; k <= kLastSubBoardChannel; ++k) {
    const int field = k - kFirstSubBoardChannel + 1;
    const Integer type = r.GasType(k);
    if (type != kGasTypePid && type != kGasTypeInfrared) continue;
    const auto value = line.Dec16(field);
    if (!value) return false;
    (void)(type == kGasTypePid ? r.SetPIDSmallRange(k, *value) : r.SetAutoRange(k, *value));
  }
  r.SetinvalidFF(false);
  return true;
}

// The first constant is the catalytic channel's ratio as well.
bool ReadFL(clsInstrument& r, RecordLine& line) {
  const bool complete = line.TokenCount() >= 6;
  for (int i = 0; i < (complete ? 4 : 2); ++i) {
    const auto raw = line.Hex32(i);
    if (!raw) return false;
    const auto value = static_cast<Long>(RawToValue(*raw));
    if (!line.Stored(r.SetFL_(i, value), i)) return false;
    if (i == 0) (void)r.SetRatio(0, static_cast<Single>(value));
  }
  r.SetinvalidFL_(!complete);
  return true;
}

using C = clsInstrument;

constexpr std::array kChannelRules{
    RecordRule{"GN", ReadGN, 5},
    RecordRule{"GP", ReadGP, 7},
    RecordRule{"GF", SelectableReadings<&C::SetGasFullScale>, 4},
    RecordRule{"GD", SelectableReadings<&C::SetGasDesit>, 4},
    RecordRule{"GU", ReadGU, 4},
    RecordRule{"GJ", ReadGJ, 28},
    RecordRule{"UG", ReadUG, 7},
    // The file marks the oxygen channel's zero suppress "@": it reads as 0.
    RecordRule{"US", ChannelTypes<&C::SetZeroForce, 0, false>, 7},
    RecordRule{"IT", ChannelTypes<&C::SetGasType, kGasTypeNone, true>, 7},
    RecordRule{"A1", ChannelReadings<&C::SetWarning>, 7},
    RecordRule{"A2", ChannelReadings<&C::SetAlarm>, 7},
    RecordRule{"AS", ChannelReadings<&C::SetStel>, 7},
    RecordRule{"AW", ChannelReadings<&C::SetTwa>, 7},
    RecordRule{"SA", ReadSA, 7},
    RecordRule{"UZ", ReadUZ, 1},
    RecordRule{"LR", ReadLR, 1},
    RecordRule{"FF", ReadFF, 1},
    RecordRule{"FL", ReadFL, 2},
};

}  // namespace

const RecordRule* ChannelRecordRule(std::string_view code) { return FindRecordRule(kChannelRules, code); }

}  // namespace kv::record
