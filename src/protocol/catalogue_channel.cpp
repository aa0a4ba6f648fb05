// Replies about the seven sensor channels: gas names, decimal places, full
// scales, units, sensor types, output mapping, zero settings, alternate ranges
// and the infrared and PID range settings.
#include <array>

#include "protocol/catalogue_rows.h"
#include "protocol/codecs.h"
#include "protocol/field_parse.h"
#include "protocol/framing.h"
#include "protocol/reply_fields.h"

namespace kv {
namespace {

// Stores field k into channel k; false when the field does not convert.
using ChannelStore = bool (*)(clsInstrument&, int channel, const std::string& field);

// Per-channel replies are applied in field order; a field that does not
// convert stops the row with the channels before it stored.
bool StoreChannels(ReplyContext& ctx, ChannelStore store) {
  if (ctx.Count() != kSensorChannels) return FormatError(ctx);
  for (int k = 0; k < kSensorChannels; ++k) {
    if (!store(ctx.Record(), k, ctx.Field(k))) return kRefused;
  }
  return true;
}

// ---- gas names -------------------------------------------------------------

constexpr std::size_t kNameWidth = 3;
// GasName of these records is cleared by a GN reply (the instrument's own set).
constexpr std::array<int, 7> kNameRecordsClearedByGn{0, 2, 3, 4, 5, 6, 7};

bool ReadGasNames(ReplyContext& ctx) {
  const int n = ctx.Count();
  if (n != 8 && n != 9) return FormatError(ctx);
  clsInstrument& record = ctx.Record();
  if (!record.SetGasName(0, ctx.Field(0))) return kRefused;
  for (const int channel : kNameRecordsClearedByGn) {
    record.SetChange_GasName(channel, false);
  }
  record.StoreCATOther(ctx.Field(1));
  if (n == 9) record.StoreTCOther(ctx.Field(8));
  record.SetinvalidGN(n == 8);
  return true;
}

bool AckGasNames(ReplyContext& ctx) {
  if (ctx.Count() != 6) return FormatError(ctx);
  const clsInstrument& record = ctx.Record();
  const std::array<Text, 6> written{record.GasName(0), record.CATOther(), record.GasName(4),
                                    record.GasName(5), record.GasName(6), record.TCOther()};
  for (int k = 0; k < 6; ++k) {
    // The write pads or cuts each name to three characters.
    if (Trim(ctx.Field(k)) != Trim(PadText(written[static_cast<std::size_t>(k)], kNameWidth))) {
      return false;
    }
  }
  return true;
}

// GJ: name, full scale, resolution and unit of every channel in one reply.
bool ReadGasSummary(ReplyContext& ctx) {
  constexpr int kFieldsPerChannel = 4;
  if (ctx.Count() != kFieldsPerChannel * kSensorChannels) return FormatError(ctx);
  clsInstrument& record = ctx.Record();
  for (int k = 0; k < kSensorChannels; ++k) {
    const int first = kFieldsPerChannel * k;
    const int places = record.GasPoint(k);
    if (!record.SetGasName(k, ctx.Field(first)) ||
        !record.SetGasFullScale(k, DecodeValue(ctx.Field(first + 1), places)) ||
        !record.SetGasDesit(k, DecodeValue(ctx.Field(first + 2), places))) {
      return kRefused;
    }
    const auto unit = ParseHex16(ctx.Field(first + 3));
    if (!unit || !record.SetGasUnit(k, UnitText(*unit))) return kRefused;
  }
  return true;
}

bool StorePoint(clsInstrument& record, int k, const std::string& field) {
  const auto places = ParseHex16(field);
  return places && record.StoreGasPoint(k, *places);
}

bool StoreFullScale(clsInstrument& record, int k, const std::string& field) {
  return record.StoreGasFullScale(k, DecodeValue(field, record.GasPoint(k)));
}

bool StoreResolution(clsInstrument& record, int k, const std::string& field) {
  return record.StoreGasDesit(k, DecodeValue(field, record.GasPoint(k)));
}

bool StoreUnit(clsInstrument& record, int k, const std::string& field) {
  const auto unit = ParseHex16(field);
  return unit && record.StoreGasUnit(k, UnitText(*unit));
}

// The echoes of GP and GU repeat their write lines: decimal, unlike the reads.
bool AckPoints(ReplyContext& ctx) {
  for (int k = 0; k < kSensorChannels; ++k) {
    const auto places = ParseDec16(ctx.Field(k));
    if (!places) return kAcceptedSoFar;
    if (*places != ctx.Record().GasPoint(k)) return false;
  }
  return true;
}

// Channels whose gas can be chosen; their units are written in this order.
constexpr std::array<int, 4> kSelectableChannels{0, 4, 5, 6};

bool AckUnits(ReplyContext& ctx) {
  for (std::size_t i = 0; i < kSelectableChannels.size(); ++i) {
    const auto unit = ParseDec16(ctx.Field(static_cast<int>(i)));
    if (!unit) return kAcceptedSoFar;
    if (*unit != UnitIndex(ctx.Record().GasUnit(kSelectableChannels[i]))) return false;
  }
  return true;
}

// G1: long names; instruments without them answer NAK.
bool ReadLongName(ReplyContext& ctx) {
  clsInstrument& record = ctx.Record();
  if (ctx.c0 == kNAK) {
    record.SetinvalidG1(true);
    return true;
  }
  if (ctx.Count() != 2) return FormatError(ctx);
  const auto index = ParseHex16(ctx.Field(0));
  if (!index || !record.StoreG1_(*index, ctx.Field(1))) return kRefused;
  record.SetinvalidG1(false);
  return true;
}

// ---- channel configuration ---------------------------------------------------

constexpr std::string_view kNoSensor = "@";

// "@" marks a channel without a sensor; otherwise hexadecimal.
std::optional<Integer> SensorField(std::string_view field) {
  if (Trim(field) == kNoSensor) return kGasTypeNone;
  return ParseHex16(field);
}

bool StoreType(clsInstrument& record, int k, const std::string& field) {
  const auto type = SensorField(field);
  return type && record.StoreGasType(k, *type);
}

bool StoreZeroForce(clsInstrument& record, int k, const std::string& field) {
  const auto force = SensorField(field);
  return force && record.StoreZeroForce(k, *force);
}

// IT,W and US,W: only a field that differs (other than "@") refuses the echo.
// The echo repeats the write line, which carries the values in decimal.
bool AckSensorFields(ReplyContext& ctx, Integer (clsInstrument::*value)(int) const) {
  for (int k = 0; k < kSensorChannels; ++k) {
    const std::string& field = ctx.Field(k);
    if (Trim(field) == kNoSensor) continue;
    const auto echoed = ParseDec16(field);
    if (!echoed) return kAcceptedSoFar;
    if (*echoed != (ctx.Record().*value)(k)) return false;
  }
  return true;
}

// UG: one character per channel, its code minus "0" is the output mask.
constexpr char kMaskBase = '0';

std::optional<Integer> MaskField(std::string_view field) {
  if (field.empty()) return std::nullopt;
  return static_cast<Integer>(static_cast<unsigned char>(field.front()) - kMaskBase);
}

bool ReadOutputMapping(ReplyContext& ctx) {
  if (ctx.Count() != kSensorChannels) return kRefused;
  clsInstrument& record = ctx.Record();
  for (int k = 0; k < kSensorChannels; ++k) {
    const auto mask = MaskField(ctx.Field(k));
    if (!mask || !record.StoreUG_(k, *mask)) return kRefused;
    if (!record.SetGasEnabled(k, *mask != 0)) return kRefused;
  }
  return true;
}

bool AckOutputMapping(ReplyContext& ctx) {
  for (int k = 0; k < kSensorChannels; ++k) {
    const auto mask = MaskField(ctx.Field(k));
    if (!mask) return kAcceptedSoFar;
    if (*mask != ctx.Record().UG_(k)) return false;
  }
  return true;
}

// UZ: one bit per channel.
bool ReadZeroFollowers(ReplyContext& ctx) {
  if (ctx.Count() != 1) return FormatError(ctx);
  const auto bits = ParseHex16(ctx.Field(0));
  if (!bits) return kRefused;
  clsInstrument& record = ctx.Record();
  for (int k = 0; k < kSensorChannels; ++k) {
    if (!record.StoreZero(k, static_cast<Integer>((*bits >> k) & 1))) return kRefused;
  }
  return true;
}

bool AckZeroFollowers(ReplyContext& ctx) {
  return ctx.Field(0).size() == 2 ? true : ResponseError(ctx);
}

// LR: alternate ranges of channels 1..3 as bits 1..3 of one hexadecimal digit.
constexpr int kFirstAltRange = 1;
constexpr int kLastAltRange = 3;

bool ReadAltRanges(ReplyContext& ctx) {
  if (ctx.Field(0).size() != 1) return FormatError(ctx);
  const bool result = kAcceptedSoFar;  // LR accepts before it decodes the digit
  const auto bits = ParseHex16(ctx.Field(0));
  if (!bits) return result;
  clsInstrument& record = ctx.Record();
  for (int k = kFirstAltRange; k <= kLastAltRange; ++k) {
    if (!record.StoreAltRng(k, static_cast<Integer>((*bits >> k) & 1))) return kRefused;
  }
  return result;
}

bool AckAltRanges(ReplyContext& ctx) {
  if (ctx.Field(0).size() != 1) return ResponseError(ctx);
  const auto bits = ParseHex16(ctx.Field(0));
  if (!bits) return kAcceptedSoFar;
  int written = 0;
  for (int k = kFirstAltRange; k <= kLastAltRange; ++k) {
    written += ctx.Record().AltRng(k) * (1 << k);
  }
  return *bits == written;
}

// FF: infrared range and PID small range of the sub-board channels 4..6.
// Older instruments send two fields per channel instead of four.
constexpr int kFirstSubBoardChannel = 4;
constexpr int kSubBoardChannels = 3;

bool StoreInfraredGroup(clsInstrument& record, int channel, const ReplyContext& ctx, int first,
                        bool fullForm) {
  if (fullForm) {
    // The range flags come first so that the values use the new decimal places.
    const auto flags = ParseDec16(ctx.Field(first + 3));
    if (!flags || !record.SetIR_Hi_Point(channel, static_cast<Integer>(RangeFlagsPoints(*flags)))) {
      return false;
    }
    const auto autoRange = ParseDec16(ctx.Field(first));
    if (!autoRange || !record.SetAutoRange(channel, *autoRange)) return false;
    const int places = record.IR_Hi_Point(channel);
    return record.SetchangeDenst(channel, DecodeValue(ctx.Field(first + 1), places)) &&
           record.SetIR_Hi_FullScale(channel, DecodeValue(ctx.Field(first + 2), places)) &&
           record.SetIR_Hi_Unit(channel, RangeFlagsUnit(*flags));
  }
  const auto autoRange = ParseDec16(ctx.Field(first));
  if (!autoRange || !record.SetAutoRange(channel, *autoRange)) return false;
  // The short form has no high range: the switching level is in the channel's own places.
  return record.SetchangeDenst(channel, DecodeValue(ctx.Field(first + 1), record.GasPoint(channel)));
}

bool ReadRangeSettings(ReplyContext& ctx) {
  const int n = ctx.Count();
  if (n != 7 && n != 13) return FormatError(ctx);
  const bool fullForm = n == 13;
  const int groupSize = fullForm ? 4 : 2;
  clsInstrument& record = ctx.Record();
  const auto irRange = ParseHex16(ctx.Field(0));
  if (!irRange) return kRefused;
  record.StoreIRRange(*irRange);
  for (int g = 0; g < kSubBoardChannels; ++g) {
    const int channel = kFirstSubBoardChannel + g;
    const int first = 1 + g * groupSize;
    const Integer type = record.GasType(channel);
    if (type == kGasTypeInfrared) {
      if (!StoreInfraredGroup(record, channel, ctx, first, fullForm)) return kRefused;
    } else if (type == kGasTypePid) {
      const auto smallRange = ParseDec16(ctx.Field(first));
      if (!smallRange || !record.StorePIDSmallRange(channel, *smallRange)) return kRefused;
    }
  }
  record.SetinvalidFF(!fullForm);
  return true;
}

}  // namespace

void AddChannelRows(ReplyRows& rows) {
  constexpr auto kRecord = NeedsRecord::kYes;
  constexpr auto kNoRecord = NeedsRecord::kNo;
  rows.push_back({"GN,R", kRecord, ReadGasNames});
  rows.push_back({"GN,W", kRecord, AckGasNames});
  rows.push_back({"GJ,R", kRecord, ReadGasSummary});
  rows.push_back({"GP,R", kRecord, [](ReplyContext& ctx) { return StoreChannels(ctx, StorePoint); }});
  rows.push_back({"GP,W", kRecord, AckPoints});
  rows.push_back({"GF,R", kRecord, [](ReplyContext& ctx) { return StoreChannels(ctx, StoreFullScale); }});
  rows.push_back({"GF,W", kNoRecord, AcceptReply});
  rows.push_back({"GD,R", kRecord, [](ReplyContext& ctx) { return StoreChannels(ctx, StoreResolution); }});
  rows.push_back({"GD,W", kNoRecord, AcceptReply});
  rows.push_back({"GU,R", kRecord, [](ReplyContext& ctx) { return StoreChannels(ctx, StoreUnit); }});
  rows.push_back({"GU,W", kRecord, AckUnits});
  rows.push_back({"G1,R", kRecord, ReadLongName});
  rows.push_back({"G1,W", kNoRecord, AcceptReply});
  rows.push_back({"IT,R", kRecord, [](ReplyContext& ctx) { return StoreChannels(ctx, StoreType); }});
  rows.push_back({"IT,W", kRecord,
                  [](ReplyContext& ctx) { return AckSensorFields(ctx, &clsInstrument::GasType); }});
  rows.push_back({"UG,R", kRecord, ReadOutputMapping});
  rows.push_back({"UG,W", kRecord, AckOutputMapping});
  rows.push_back({"US,R", kRecord, [](ReplyContext& ctx) { return StoreChannels(ctx, StoreZeroForce); }});
  rows.push_back({"US,W", kRecord,
                  [](ReplyContext& ctx) { return AckSensorFields(ctx, &clsInstrument::ZeroForce); }});
  rows.push_back({"UZ,R", kRecord, ReadZeroFollowers});
  rows.push_back({"UZ,W", kNoRecord, AckZeroFollowers});
  rows.push_back({"LR,R", kRecord, ReadAltRanges});
  rows.push_back({"LR,W", kRecord, AckAltRanges});
  rows.push_back({"FF,R", kRecord, ReadRangeSettings});
  rows.push_back({"FF,W", kNoRecord, AcceptReply});
}

}  // namespace kv
