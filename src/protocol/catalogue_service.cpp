// Replies of the service operations (calibration, defaults, power off, data
// clearing, pump), of the memory transfers and of the live readings.
#include <array>

#include "protocol/catalogue_rows.h"
#include "protocol/codecs.h"
#include "protocol/field_parse.h"
#include "protocol/framing.h"
#include "protocol/reply_fields.h"

namespace kv {
namespace {

// ---- calibration and defaults ----------------------------------------------

constexpr int kZeroValues = 9;
constexpr int kSpanValues = 7;
constexpr int kStatusFields = 7;        // one status digit per channel
constexpr std::size_t kStatusLength = 7;

bool ReadZeroValues(ReplyContext& ctx) {
  if (ctx.Count() != kZeroValues) return FormatError(ctx);
  for (int k = 0; k < kZeroValues; ++k) {
    const auto value = ParseHex16(ctx.Field(k));
    if (!value || !ctx.Record().SetSZ_(k, *value)) return kRefused;
  }
  return true;
}

bool ReadSpanValues(ReplyContext& ctx) {
  if (ctx.Count() != kSpanValues) return FormatError(ctx);
  for (int k = 0; k < kSpanValues; ++k) {
    const auto value = ParseHex16(ctx.Field(k));
    if (!value || !ctx.Record().SetS1_(k, *value)) return kRefused;
  }
  return true;
}

std::string JoinStatusFields(const ReplyContext& ctx) {
  std::string status;
  for (int k = 0; k < kStatusFields; ++k) {
    status += ctx.Field(k);
  }
  return status;
}

// SZ,C and S2,C. SUB means "not finished yet": the exchange itself is complete,
// the result stays empty and the operation polls again.
bool CalibrationDone(ReplyContext& ctx, std::optional<std::string> ReplySink::*result) {
  ctx.sink.*result = std::string();
  if (ctx.Count() == kStatusFields) {
    ctx.sink.*result = JoinStatusFields(ctx);
    return true;
  }
  if (ctx.c0 == kSUB) return true;
  return ResponseError(ctx);
}

// S1,C answers its status as one field of seven characters.
bool SpanStatusDone(ReplyContext& ctx) {
  const std::string status = Trim(ctx.Field(0));
  if (status.size() == kStatusLength) {
    ctx.sink.spanResult = status;
    return true;
  }
  if (ctx.c0 == kSUB) {
    ctx.sink.spanResult = std::string();
    return true;
  }
  return ResponseError(ctx);
}

// UX,C: the first data character is the outcome of the defaults load.
bool DefaultsDone(ReplyContext& ctx) {
  if (ctx.c0 == kSUB) {
    ctx.sink.defaultStatus = std::string();
    return true;
  }
  if (ctx.Count() != 1) return ResponseError(ctx);
  ctx.sink.defaultStatus = std::string(1, ctx.c0);
  return true;
}

// S1,W: the instrument answers a span start with anything but ACK.
bool SpanStartAnswered(ReplyContext& ctx) { return ctx.c0 != kACK; }

// ---- memory access and dump lists ------------------------------------------

bool AcceptedWithAckSilently(ReplyContext& ctx) { return ctx.c0 == kACK; }

constexpr std::size_t kKeyAndComma = 5;

// MM,C carries its ACK as a field of its own, so it is looked for in the
// reply text as received, before control characters are stripped.
bool MemoryBlockDone(ReplyContext& ctx) {
  if (ctx.text.size() < kKeyAndComma) return kRefused;
  clsToken rawFields;
  rawFields.AddDelimiters("\r");
  rawFields.AddDelimiters(",");
  if (!rawFields.SetSource(ctx.text.substr(kKeyAndComma))) return kRefused;
  constexpr int kAckField = 2;
  return rawFields.TokenCount() > kAckField && rawFields.Tokens(kAckField) == std::string(1, kACK);
}

constexpr std::size_t kDumpRowLength = 32;  // 16 bytes as hexadecimal digits
constexpr long kDumpBlockBytes = 128;
constexpr long kDumpRowBytes = 16;

// EF,R and ES,R: f1 numbers the 128-byte block, f3 holds its rows as
// hexadecimal digits; a short row is filled up with "F".
bool DumpListReply(ReplyContext& ctx) {
  const std::string rows = Trim(ctx.Field(3));
  if (!IsHexadecimal(rows)) return kRefused;
  const auto block = ParseHex32(ctx.Field(1));
  if (!block) return kRefused;
  const long base = (static_cast<long>(*block) - 1) * kDumpBlockBytes;
  long address = base;
  for (std::size_t offset = 0; offset < rows.size(); offset += kDumpRowLength) {
    std::string row = rows.substr(offset, kDumpRowLength);
    row.resize(kDumpRowLength, 'F');
    ctx.sink.dumpList.push_back(DumpListItem{std::move(row), address});
    address += kDumpRowBytes;
  }
  return true;
}

// ---- live readings and analogue values -------------------------------------

// One live reading: the special codes as they are; otherwise the count of
// the two digit pairs, catalytic counts relative to FL_(0).
std::optional<float> LiveReading(const clsInstrument& record, int channel, std::string_view field) {
  if (const auto code = DecodeSpecialCode(field)) return *code;
  constexpr std::size_t kPair = 2;
  if (field.size() <= kPair) return std::nullopt;
  const auto high = ParseHex16(field.substr(0, kPair));
  const auto low = ParseHex16(field.substr(kPair, kPair));
  if (!high || !low) return std::nullopt;
  double count = *high * 256.0 + *low;
  if (record.GasType(channel) == kGasTypeCatalytic) {
    const auto scaled = PerReference(static_cast<double>(RawToValue(static_cast<long>(count))),
                                     record.GasFullScale(channel), record.FL_(0));
    if (!scaled) return kNoData;
    count = *scaled;
  }
  return DecodeCount(count, record.GasPoint(channel));
}

bool LiveReadings(ReplyContext& ctx) {
  if (ctx.Count() != kSensorChannels) return FormatError(ctx);
  if (ctx.record == nullptr) return true;  // nothing to show the readings in
  std::array<Single, kSensorChannels> readings{};
  for (int k = 0; k < kSensorChannels; ++k) {
    const auto reading = LiveReading(ctx.Record(), k, ctx.Field(k));
    if (!reading || !ctx.Record().SetLimitValue(k, *reading)) return kRefused;
    readings[static_cast<std::size_t>(k)] = *reading;
  }
  ctx.effects.ReadingsReceived(readings);
  return true;
}

bool ReadAnalogValues(ReplyContext& ctx, int count, int firstIndex) {
  if (ctx.Count() != count) return ResponseError(ctx);
  for (int k = 0; k < count; ++k) {
    const auto value = ParseHex32(ctx.Field(k));
    if (!value || !ctx.Record().SetAnalogValue(firstIndex + k, *value)) return kRefused;
  }
  return true;
}

}  // namespace

void AddServiceRows(ReplyRows& rows) {
  constexpr auto kRecord = NeedsRecord::kYes;
  constexpr auto kNoRecord = NeedsRecord::kNo;
  rows.push_back({"SZ,R", kRecord, ReadZeroValues});
  rows.push_back({"SZ,W", kNoRecord, AcknowledgedWithAck});
  rows.push_back({"SZ,C", kNoRecord,
                  [](ReplyContext& ctx) { return CalibrationDone(ctx, &ReplySink::zeroResult); }});
  rows.push_back({"S1,R", kRecord, ReadSpanValues});
  rows.push_back({"S1,W", kNoRecord, SpanStartAnswered});
  rows.push_back({"S1,C", kNoRecord, SpanStatusDone});
  rows.push_back({"S2,W", kNoRecord, AcknowledgedWithAck});
  rows.push_back({"S2,C", kNoRecord,
                  [](ReplyContext& ctx) { return CalibrationDone(ctx, &ReplySink::spanResult); }});
  rows.push_back({"UX,W", kNoRecord, AcknowledgedWithAck});
  rows.push_back({"UX,C", kNoRecord, DefaultsDone});
  for (const char* key : {"RO,W", "ET,W", "UD,W", "UP,W", "XC,E"}) {
    rows.push_back({key, kNoRecord, AcknowledgedWithAck});
  }
  rows.push_back({"BP,R", kNoRecord, [](ReplyContext& ctx) {
                    ctx.sink.busyPoll = true;
                    return true;
                  }});
  rows.push_back({"BP,A", kNoRecord, [](ReplyContext& ctx) {
                    ctx.sink.busyPoll = false;
                    return true;
                  }});
  rows.push_back({"BP,W", kNoRecord, AcceptReply});
  rows.push_back({"MM,R", kNoRecord, AcceptReply});
  rows.push_back({"MM,W", kNoRecord, AcceptReply});
  rows.push_back({"MM,S", kNoRecord, AcceptedWithAckSilently});
  rows.push_back({"MM,E", kNoRecord, AcceptedWithAckSilently});
  rows.push_back({"MM,C", kNoRecord, MemoryBlockDone});
  rows.push_back({"EP,R", kNoRecord, AcceptReply});
  rows.push_back({"EF,R", kNoRecord, DumpListReply});
  rows.push_back({"ES,R", kNoRecord, DumpListReply});
  rows.push_back({"DN,R", kNoRecord, LiveReadings});
  rows.push_back({"HA,R", kRecord, [](ReplyContext& ctx) { return ReadAnalogValues(ctx, 14, 0); }});
  rows.push_back({"H2,R", kRecord, [](ReplyContext& ctx) { return ReadAnalogValues(ctx, 12, 14); }});
}

}  // namespace kv
