// Replies carrying alarm levels, calibration values and history, and the
// catalytic sensor's constants and ratios.
#include "protocol/catalogue_rows.h"
#include "protocol/codecs.h"
#include "protocol/field_parse.h"
#include "protocol/reply_fields.h"

namespace kv {
namespace {

// A1, A2, AS, AW: one value per channel in the channel's decimal places.
using LevelStore = bool (clsInstrument::*)(int, Single);

bool ReadAlarmLevels(ReplyContext& ctx, LevelStore store) {
  if (ctx.Count() != kSensorChannels) return FormatError(ctx);
  clsInstrument& record = ctx.Record();
  for (int k = 0; k < kSensorChannels; ++k) {
    if (!(record.*store)(k, DecodeValue(ctx.Field(k), record.GasPoint(k)))) return kRefused;
  }
  return true;
}

// The instrument echoes the whole written line.
bool EchoesLine(ReplyContext& ctx, int fields) {
  return ctx.Count() == fields && EchoesLastLine(ctx);
}

// SA: catalytic calibration values travel as raw counts relative to FL_(0).
std::optional<float> AutoCalibValue(const clsInstrument& record, int channel, const std::string& field) {
  if (!IsHexadecimal(field)) return std::nullopt;
  if (const auto code = DecodeSpecialCode(field)) return *code;
  const int places = record.GasPoint(channel);
  if (record.GasType(channel) != kGasTypeCatalytic) return DecodeValue(field, places);
  const auto raw = ParseHex32(field);
  if (!raw) return std::nullopt;
  const auto count = PerReference(static_cast<double>(RawToValue(*raw)),
                                   record.GasFullScale(channel), record.FL_(0));
  if (!count) return kNoData;
  return DecodeCount(*count, places);
}

// A channel whose field is not hexadecimal keeps its value and fails the
// reply; the other channels are still stored.
bool ReadAutoCalib(ReplyContext& ctx) {
  clsInstrument& record = ctx.Record();
  bool result = true;
  for (int k = 0; k < kSensorChannels; ++k) {
    const auto value = AutoCalibValue(record, k, ctx.Field(k));
    if (!value) {
      result = false;
      continue;
    }
    if (!record.StoreAutoCalib(k, *value)) return kRefused;
  }
  return result;
}

// SO: calibration history, per channel a date stamp and the readings before
// and after; catalytic readings in percent of FL_(0).
constexpr double kHistoryPercent = 100.0;

float HistoryReading(const clsInstrument& record, int channel, const std::string& field) {
  const float value = DecodeValue(field, record.GasPoint(channel));
  if (record.GasType(channel) != kGasTypeCatalytic || value < 0.0F) return value;  // codes stay
  const auto scaled = PerReference(value, kHistoryPercent, record.FL_(0));
  return scaled ? static_cast<float>(*scaled) : kNoData;
}

bool StoreHistory(ReplyContext& ctx, int channel, int first) {
  clsInstrument& record = ctx.Record();
  if (const auto date = DateFromStamp(ctx.Field(first))) {
    if (!record.SetCalibDate(channel, ToSerialDate(*date))) return false;
  }
  return record.SetCalibBefore(channel, HistoryReading(record, channel, ctx.Field(first + 1))) &&
         record.SetCalibAfter(channel, HistoryReading(record, channel, ctx.Field(first + 2)));
}

constexpr int kAllChannelsHistory = 22;
constexpr int kOneChannelHistory = 4;

bool ReadHistory(ReplyContext& ctx) {
  const int n = ctx.Count();
  if (n != kAllChannelsHistory && n != kOneChannelHistory) return kRefused;
  const auto selector = ParseDec16(ctx.Field(0));
  if (!selector) return kRefused;
  if (*selector == 0) {
    for (int channel = 0; channel < kSensorChannels; ++channel) {
      if (!StoreHistory(ctx, channel, 3 * channel + 1)) return kRefused;
    }
  } else if (*selector >= 1 && *selector <= kSensorChannels) {
    if (!StoreHistory(ctx, *selector - 1, 1)) return kRefused;
  }
  return true;
}

// AC: catalytic ratio levels, in the places of the ppm and vol% ratio
// channels (a read computes those channels before it asks).

bool ReadCatalyticRatios(ReplyContext& ctx) {
  if (ctx.Count() != 4) return kRefused;
  clsInstrument& record = ctx.Record();
  const int ppmPlaces = record.GasPoint(kRatioPpmChannel);
  const auto ppm1 = RoundToLong(DecodeValue(ctx.Field(0), ppmPlaces));
  if (!ppm1) return kRefused;
  record.StoreCATppm1st(static_cast<Long>(*ppm1));
  const auto ppm2 = RoundToLong(DecodeValue(ctx.Field(1), ppmPlaces));
  if (!ppm2) return kRefused;
  record.StoreCATppm2nd(static_cast<Long>(*ppm2));
  const int volPlaces = record.GasPoint(kRatioVolChannel);
  record.StoreCATvol1st(DecodeValue(ctx.Field(2), volPlaces));
  record.StoreCATvol2nd(DecodeValue(ctx.Field(3), volPlaces));
  return true;
}

bool ReadOtherGasValue(ReplyContext& ctx) {
  const bool result = kAcceptedSoFar;  // FH accepts before it decodes the value
  const auto value = ParseDec16(ctx.Field(0));
  if (!value) return result;
  ctx.Record().StoreCATOtherEV(*value);
  return result;
}

// FL: catalytic constants; older instruments send two of the four.
bool ReadCatalyticConstants(ReplyContext& ctx) {
  const int n = ctx.Count();
  if (n != 2 && n != 4) return FormatError(ctx);
  const bool result = kAcceptedSoFar;  // FL accepts before it decodes the values
  clsInstrument& record = ctx.Record();
  for (int k = 0; k < n; ++k) {
    const auto raw = ParseHex32(ctx.Field(k));
    if (!raw) return result;
    // RawToValue saturates at the Long range.
    if (!record.StoreFL_(k, static_cast<Long>(RawToValue(*raw)))) return kRefused;
  }
  if (!record.SetRatio(0, static_cast<Single>(record.FL_(0)))) return kRefused;
  record.SetinvalidFL_(n == 2);
  return result;
}

}  // namespace

void AddLevelRows(ReplyRows& rows) {
  constexpr auto kRecord = NeedsRecord::kYes;
  constexpr auto kNoRecord = NeedsRecord::kNo;
  rows.push_back({"A1,R", kRecord, [](ReplyContext& ctx) {
                    return ReadAlarmLevels(ctx, &clsInstrument::StoreWarning);
                  }});
  rows.push_back({"A2,R", kRecord, [](ReplyContext& ctx) {
                    return ReadAlarmLevels(ctx, &clsInstrument::StoreAlarm);
                  }});
  rows.push_back({"AS,R", kRecord, [](ReplyContext& ctx) {
                    return ReadAlarmLevels(ctx, &clsInstrument::StoreStel);
                  }});
  rows.push_back({"AW,R", kRecord, [](ReplyContext& ctx) {
                    return ReadAlarmLevels(ctx, &clsInstrument::StoreTwa);
                  }});
  for (const char* key : {"A1,W", "A2,W", "AS,W", "AW,W", "SA,W"}) {
    rows.push_back({key, kNoRecord, [](ReplyContext& ctx) { return EchoesLine(ctx, kSensorChannels); }});
  }
  rows.push_back({"SA,R", kRecord, ReadAutoCalib});
  rows.push_back({"SO,R", kRecord, ReadHistory});
  rows.push_back({"AC,R", kRecord, ReadCatalyticRatios});
  rows.push_back({"AC,W", kNoRecord, [](ReplyContext& ctx) { return EchoesLine(ctx, 4); }});
  rows.push_back({"FH,R", kRecord, ReadOtherGasValue});
  rows.push_back({"FH,W", kNoRecord, AcceptReply});
  rows.push_back({"FL,R", kRecord, ReadCatalyticConstants});
  rows.push_back({"FL,W", kNoRecord, AcceptReply});
}

}  // namespace kv
