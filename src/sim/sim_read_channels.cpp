// Read replies of the gas channels, the conversion tables and the PID table.
#include <array>
#include <vector>

#include "protocol/codecs.h"
#include "protocol/field_parse.h"
#include "sim/sim_fields.h"
#include "sim/sim_handlers.h"

namespace kv::sim {
namespace {

using Reply = std::optional<std::string>;
using Level = Single (clsInstrument::*)(int) const;

constexpr std::string_view kNoSensor = "@";
constexpr std::string_view kNoDate = "000000000000";
constexpr int kFirstOptional = 4;  // channels 4..6 are the optional sensors
constexpr int kFfFieldsPerGroup = 4;
constexpr char kMaskBase = '0';  // UG: the character code minus 48 is the mask
constexpr int kLargestMask = '~' - kMaskBase;
constexpr int kLowRange = 1, kHighRange = 0;

template <class Getter>
std::vector<std::string> PerChannel(Getter get) {
  std::vector<std::string> fields;
  for (int k = 0; k < kSensorChannels; ++k) fields.push_back(get(k));
  return fields;
}

std::optional<int> IndexBelow(std::string_view argument, int limit) {
  const auto index = ParseHex16(argument);
  if (!index || *index >= limit) return std::nullopt;
  return *index;
}

std::string WholeHex(Single value) {
  const auto whole = RoundToLong(value);
  return HexText(whole ? *whole : 0);
}

std::string TypeField(Integer value) {
  return value == kGasTypeNone ? std::string(kNoSensor) : HexText(value);
}

Reply LevelReply(SimDevice& d, std::string_view code, Level level) {
  const clsInstrument& s = d.Settings();
  return ReplyText(code, 'R',
                   PerChannel([&](int k) { return ValueField((s.*level)(k), s.GasPoint(k)); }));
}

// Name, full scale, resolution and unit of every channel.
Reply ChannelSummary(SimDevice& d, std::string_view) {
  const clsInstrument& s = d.Settings();
  std::vector<std::string> fields;
  for (int k = 0; k < kSensorChannels; ++k) {
    const int p = s.GasPoint(k);
    fields.insert(fields.end(), {s.GasName(k), ValueField(s.GasFullScale(k), p),
                                 ValueField(s.GasDesit(k), p), UnitField(s.GasUnit(k))});
  }
  return ReplyText("GJ", 'R', fields);
}

// Four fields per optional channel: range switch or small range, then for an
// infrared channel its switching concentration, high-range full scale and
// high-range flag word (unit index in bits 2..3, decimal places in bits 0..1).
Reply RangeReply(SimDevice& d, std::string_view) {
  const clsInstrument& s = d.Settings();
  std::vector<std::string> fields{HexText(s.IRRange())};
  for (int k = kFirstOptional; k < kSensorChannels; ++k) {
    std::array<std::string, kFfFieldsPerGroup> group{"0", "0", "0", "0"};
    if (s.GasType(k) == kGasTypeInfrared) {
      const int places = s.IR_Hi_Point(k) >= 0 && s.IR_Hi_Point(k) <= 3 ? s.IR_Hi_Point(k) : 0;
      group = {Dec(s.AutoRange(k)), ValueField(s.changeDenst(k), places),
               ValueField(s.IR_Hi_FullScale(k), places),
               Dec(UnitIndex(s.IR_Hi_Unit(k)) * 4 + places)};
    } else if (s.GasType(k) == kGasTypePid) {
      group[0] = Dec(s.PIDSmallRange(k));
    }
    fields.insert(fields.end(), group.begin(), group.end());
  }
  return ReplyText("FF", 'R', fields);
}

std::string HistoryDate(Date serial) {
  const DateTime date = FromSerialDate(serial);
  if (date.year < 2000 || date.year > 2099) return std::string(kNoDate);
  return DateField(date);
}

std::string HistoryValue(const clsInstrument& s, int k, Single value) {
  if (s.GasType(k) == kGasTypeCatalytic) return CatalyticHistoryField(s, k, value);
  return ValueField(value, s.GasPoint(k));
}

// "SO,R,0": the last calibration of every channel; "SO,R,g": of channel g - 1.
Reply HistoryReply(SimDevice& d, std::string_view argument) {
  const auto group = ParseDec16(argument);
  if (!group || *group < 0 || *group > kSensorChannels) return std::nullopt;
  const clsInstrument& s = d.Settings();
  std::vector<std::string> fields{Dec(*group)};
  const int first = *group == 0 ? 0 : *group - 1;
  const int last = *group == 0 ? kSensorChannels - 1 : first;
  for (int k = first; k <= last; ++k) {
    fields.push_back(HistoryDate(s.CalibDate(k)));
    fields.push_back(HistoryValue(s, k, s.CalibBefore(k)));
    fields.push_back(HistoryValue(s, k, s.CalibAfter(k)));
  }
  return ReplyText("SO", 'R', fields);
}

Reply LongNameReply(SimDevice& d, std::string_view argument) {
  const auto i = IndexBelow(argument, clsInstrument::kG1);
  if (!i) return std::nullopt;
  return ReplyText("G1", 'R', {HexText(*i), d.Settings().G1_(*i)});
}

Reply UserConversion(SimDevice& d, std::string_view argument) {
  const auto i = IndexBelow(argument, clsInstrument::kLO);
  if (!i) return std::nullopt;
  const clsInstrument& s = d.Settings();
  return ReplyText("LO", 'R', {HexText(*i), s.LO_longname(*i), s.LO_name(*i), Hex4(s.LO_fc(*i))});
}

Reply PresetConversion(SimDevice& d, std::string_view argument) {
  const auto i = IndexBelow(argument, clsInstrument::kLB);
  if (!i) return std::nullopt;
  const clsInstrument& s = d.Settings();
  return ReplyText("LB", 'R', {HexByte(*i), s.LB_longname(*i), s.LB_name(*i), Hex4(s.LB_fc(*i))});
}

// Levels are in the catalytic channel's units.
Reply ConversionLevels(SimDevice& d, std::string_view argument) {
  const auto i = IndexBelow(argument, clsInstrument::kLA);
  if (!i) return std::nullopt;
  const clsInstrument& s = d.Settings();
  const int places = s.GasPoint(0);
  return ReplyText(
      "LA", 'R',
      {HexByte(*i), ValueField(s.LA_warn(*i), places), ValueField(s.LA_alarm(*i), places),
       HexWord(s.LA_ratio(*i)), WholeHex(s.LA_volt(*i))});
}

Reply PidName(SimDevice& d, std::string_view argument) {
  const auto e = IndexBelow(argument, kPidReachable);
  if (!e) return std::nullopt;
  const clsInstrument& s = d.Settings();
  return ReplyText("LS", 'R', {HexByte(*e), s.PIDLongName(*e), s.PIDName(*e)});
}

Reply PidRange(const clsInstrument& s, std::string_view code, int e, int range) {
  const int p = s.PIDPoint(e, range);
  return ReplyText(code, 'R',
                   {HexByte(e), ValueField(s.PIDFullScale(e, range), p), Dec(p),
                    UnitField(s.PIDUnit(e, range)), ValueField(s.PIDDigit(e, range), p),
                    ValueField(s.PIDWarn(e, range), p), ValueField(s.PIDAlarm(e, range), p),
                    ValueField(s.PIDStel(e, range), p), ValueField(s.PIDTwa(e, range), p),
                    ValueField(s.PIDAutoCal(e, range), p), WholeHex(s.PIDFactor(e, range))});
}

Reply PidLowRange(SimDevice& d, std::string_view argument) {
  const auto e = IndexBelow(argument, kPidReachable);
  if (!e) return std::nullopt;
  return PidRange(d.Settings(), "LI", *e, kLowRange);
}

Reply PidHighRange(SimDevice& d, std::string_view argument) {
  const auto e = IndexBelow(argument, kPidReachable);
  if (!e) return std::nullopt;
  return PidRange(d.Settings(), "LJ", *e, kHighRange);
}

std::string MaskCharacter(Integer mask) {
  if (mask < 0 || mask > kLargestMask) return std::string(1, kMaskBase);
  return std::string(1, static_cast<char>(kMaskBase + mask));
}

int ZeroMask(const clsInstrument& s) {
  int mask = 0;
  for (int k = 0; k < kSensorChannels; ++k) mask |= (s.Zero(k) != 0 ? 1 : 0) << k;
  return mask;
}

int AlternateRangeMask(const clsInstrument& s) {
  int mask = 0;
  for (int k = 1; k <= 3; ++k) mask |= (s.AltRng(k) != 0 ? 1 : 0) << k;
  return mask;
}

// One row whose reply is a single expression of the device `d` and its settings `s`.
#define KV_READ(code, expression)                             \
  ReadRow {                                                   \
    code, [](SimDevice& d, std::string_view) -> Reply {       \
      [[maybe_unused]] const clsInstrument& s = d.Settings(); \
      return expression;                                      \
    }                                                         \
  }
#define KV_PER_CHANNEL(code, fieldExpression) \
  KV_READ(code, ReplyText(code, 'R', PerChannel([&](int k) { return fieldExpression; })))

const std::array kChannelReads = {
    ReadRow{"FF", RangeReply},
    ReadRow{"GJ", ChannelSummary},
    ReadRow{"SO", HistoryReply},
    ReadRow{"G1", LongNameReply},
    ReadRow{"LO", UserConversion},
    ReadRow{"LB", PresetConversion},
    ReadRow{"LA", ConversionLevels},
    ReadRow{"LS", PidName},
    ReadRow{"LI", PidLowRange},
    ReadRow{"LJ", PidHighRange},
    KV_READ("A1", LevelReply(d, "A1", &clsInstrument::Warning)),
    KV_READ("A2", LevelReply(d, "A2", &clsInstrument::Alarm)),
    KV_READ("AS", LevelReply(d, "AS", &clsInstrument::Stel)),
    KV_READ("AW", LevelReply(d, "AW", &clsInstrument::Twa)),
    KV_PER_CHANNEL("IT", TypeField(s.GasType(k))),
    KV_PER_CHANNEL("US", TypeField(s.ZeroForce(k))),
    KV_PER_CHANNEL("GP", HexText(s.GasPoint(k))),
    KV_PER_CHANNEL("GF", ValueField(s.GasFullScale(k), s.GasPoint(k))),
    KV_PER_CHANNEL("GD", ValueField(s.GasDesit(k), s.GasPoint(k))),
    KV_PER_CHANNEL("GU", UnitField(s.GasUnit(k))),
    KV_PER_CHANNEL("UG", MaskCharacter(s.UG_(k))),
    KV_PER_CHANNEL("SA", ChannelValueField(s, k, s.AutoCalib(k))),
    // The fields after the two catalytic names are the names of channels 1..6.
    KV_READ("GN", ReplyText("GN", 'R',
                            {s.GasName(0), s.CATOther(), s.GasName(1), s.GasName(2), s.GasName(3),
                             s.GasName(4), s.GasName(5), s.GasName(6), s.TCOther()})),
    KV_READ("UZ", ReplyText("UZ", 'R', {HexByte(ZeroMask(s))})),
    KV_READ("LR", ReplyText("LR", 'R', {HexText(AlternateRangeMask(s))})),
    KV_READ("AC", ReplyText("AC", 'R',
                            {ValueField(static_cast<Single>(s.CATppm1st()), s.GasPoint(7)),
                             ValueField(static_cast<Single>(s.CATppm2nd()), s.GasPoint(7)),
                             ValueField(s.CATvol1st(), s.GasPoint(8)),
                             ValueField(s.CATvol2nd(), s.GasPoint(8))})),
    KV_READ("FH", ReplyText("FH", 'R', {Dec(s.CATOtherEV())})),
    KV_READ("FL", ReplyText("FL", 'R',
                            {HexWord(s.FL_(0)), HexWord(s.FL_(1)), HexWord(s.FL_(2)),
                             HexWord(s.FL_(3))})),
    KV_READ("LN", ReplyText("LN", 'R', {HexText(s.LN_())})),
};
#undef KV_PER_CHANNEL
#undef KV_READ

}  // namespace

std::span<const ReadRow> ChannelReadRows() { return kChannelReads; }

}  // namespace kv::sim
