// Replies about the instrument itself: connection probe, firmware, serial
// numbers, clock, specification type, and the station and user lists.
#include <algorithm>
#include <array>

#include "protocol/catalogue_rows.h"
#include "protocol/field_parse.h"
#include "protocol/reply_fields.h"

namespace kv {
namespace {

constexpr std::string_view kModelName = "KORVIN";
constexpr std::size_t kSerialWidth = 20;

// RC,R: any reply naming the model connects the link.
bool ConnectProbe(ReplyContext& ctx) {
  if (ctx.line.find(kModelName) == std::string_view::npos) {
    return kRefused;
  }
  ctx.effects.ConnectReplyReceived();
  return true;
}

bool ReadRomNumber(ReplyContext& ctx) {
  if (!IsNumeric(ctx.Field(0))) return kRefused;
  const auto rom = ParseDec32(ctx.Field(0));
  if (!rom) return kRefused;
  ctx.Record().SetRomNumber(*rom);
  return true;
}

bool ReadFirmwareSum(ReplyContext& ctx) {
  if (!IsHexadecimal(ctx.Field(0))) return kRefused;
  ctx.Record().SetSUM(ctx.Field(0));
  return true;
}

bool ReadSerialNo(ReplyContext& ctx) {
  ctx.Record().StoreSerialNo(ctx.Field(0));
  return true;
}

bool AckSerialNo(ReplyContext& ctx) {
  return ctx.Field(0) == CutText(ctx.Record().SerialNo(), kSerialWidth);
}

bool ReadDummySerial(ReplyContext& ctx) {
  ctx.Record().StoreDummySerial(ctx.Field(0));
  return true;
}

bool AckDummySerial(ReplyContext& ctx) {
  return ctx.Field(0) == CutText(ctx.Record().DummySerial(), kSerialWidth);
}

// HC,R: the instrument clock, and how far the PC's clock is ahead of it.
bool ReadClock(ReplyContext& ctx) {
  const std::string& stamp = ctx.Field(0);
  if (stamp.size() != kDateStampLength) return kRefused;
  const auto date = DateFromStamp(stamp);
  clsInstrument& record = ctx.Record();
  if (!date) {
    record.SetFailLine("HC,R");
    ctx.effects.AddLog(std::string(kImproperDateLog) + stamp);
    return kRefused;
  }
  const Date instrumentClock = ToSerialDate(*date);
  record.SetSysDate(instrumentClock);
  record.SetSysDateOffset(ToSerialDate(ctx.effects.Now()) - instrumentClock);
  return true;
}

bool AckClock(ReplyContext& ctx) { return EchoesLastLine(ctx) ? true : ResponseError(ctx); }

constexpr std::array<std::string_view, 5> kSpecTypes{"0", "1", "2", "3", "4"};

bool ReadSpecType(ReplyContext& ctx) {
  const std::string& type = ctx.Field(0);
  if (std::find(kSpecTypes.begin(), kSpecTypes.end(), type) == kSpecTypes.end()) return kRefused;
  ctx.Record().StoreSpecType(type);
  return true;
}

bool AckSpecType(ReplyContext& ctx) { return ctx.Field(0) == ctx.Record().SpecType(); }

// ---- station and user lists ------------------------------------------------

// Stores one name and clears its flag; false for an index outside the list.
bool StoreStation(clsInstrument& record, int index, const std::string& name) {
  return record.StoreXS_(index, name);
}

bool StoreUser(clsInstrument& record, int index, const std::string& name) {
  return record.StoreXZ_(index, name);
}

using StoreName = bool (*)(clsInstrument&, int, const std::string&);

// Fields f1.. go to the entries first, first + 1, ...; absent fields store "".
bool StoreNameBlock(ReplyContext& ctx, int first, int count, StoreName store) {
  for (int k = 0; k < count; ++k) {
    if (!store(ctx.Record(), first + k, ctx.Field(k + 1))) return kRefused;
  }
  return true;
}

constexpr int kStationHalf = 64;         // XS index 0: entries 0..63, index 255: 64..127
constexpr int kStationUpperHalfIndex = 255;
constexpr int kUserBlock = 32;

bool ReadStations(ReplyContext& ctx) {
  const auto index = ParseHex16(ctx.Field(0));
  if (!index) return kRefused;
  if (*index == 0) return StoreNameBlock(ctx, 0, kStationHalf, StoreStation);
  if (*index == kStationUpperHalfIndex) {
    return StoreNameBlock(ctx, kStationHalf, kStationHalf, StoreStation);
  }
  // A single entry; an index beyond the list is refused by the record.
  return StoreStation(ctx.Record(), *index, ctx.Field(1));
}

bool ReadUsers(ReplyContext& ctx) {
  const auto index = ParseHex16(ctx.Field(0));
  if (!index) return kRefused;
  if (*index == 0) return StoreNameBlock(ctx, 0, kUserBlock, StoreUser);
  return StoreUser(ctx.Record(), *index, ctx.Field(1));
}

// The write names the entry 1-based; the echoed name is compared trimmed.
template <int TableSize>
bool AckListEntry(ReplyContext& ctx, Text (clsInstrument::*name)(int) const) {
  const auto number = ParseHex16(ctx.Field(0));
  if (!number) return kRefused;
  const int entry = *number - 1;
  if (entry < 0 || entry >= TableSize) return kRefused;
  return (ctx.Record().*name)(entry) == Trim(ctx.Field(1));
}

// A selection of 0 means the first entry.
Integer SelectionNumber(Integer number) { return number == 0 ? Integer{1} : number; }

bool ReadSelection(ReplyContext& ctx) {
  clsInstrument& record = ctx.Record();
  const auto station = ParseHex16(ctx.Field(0));
  if (!station) return kRefused;
  if (!record.StoreXV_(0, SelectionNumber(*station))) return kRefused;
  // The instrument's own indexing: the station number selects XS_ directly.
  record.SetStationID(record.XS_(record.XV_(0)));
  const auto user = ParseHex16(ctx.Field(1));
  if (!user) return kRefused;
  if (!record.StoreXV_(1, SelectionNumber(*user))) return kRefused;
  record.SetUserID(record.XZ_(record.XV_(1)));
  return true;
}

bool AckSelection(ReplyContext& ctx) {
  const auto station = ParseHex16(ctx.Field(0));
  if (!station) return kRefused;
  const auto user = ParseHex16(ctx.Field(1));
  if (!user) return kRefused;
  return *station == ctx.Record().XV_(0) && *user == ctx.Record().XV_(1);
}

}  // namespace

void AddIdentityRows(ReplyRows& rows) {
  constexpr auto kRecord = NeedsRecord::kYes;
  constexpr auto kNoRecord = NeedsRecord::kNo;
  rows.push_back({"RC,R", kNoRecord, ConnectProbe});
  rows.push_back({"RC,A", kNoRecord, AcceptReply});
  rows.push_back({"VP,R", kRecord, ReadRomNumber});
  rows.push_back({"VS,R", kRecord, ReadFirmwareSum});
  rows.push_back({"IN,R", kRecord, ReadSerialNo});
  rows.push_back({"IN,W", kRecord, AckSerialNo});
  rows.push_back({"HN,R", kRecord, ReadDummySerial});
  rows.push_back({"HN,W", kRecord, AckDummySerial});
  rows.push_back({"HC,R", kRecord, ReadClock});
  rows.push_back({"HC,W", kNoRecord, AckClock});
  rows.push_back({"UJ,R", kRecord, ReadSpecType});
  rows.push_back({"UJ,W", kRecord, AckSpecType});
  rows.push_back({"XS,R", kRecord, ReadStations});
  rows.push_back({"XS,W", kRecord,
                  [](ReplyContext& ctx) { return AckListEntry<clsInstrument::kXS>(ctx, &clsInstrument::XS_); }});
  rows.push_back({"XZ,R", kRecord, ReadUsers});
  rows.push_back({"XZ,W", kRecord,
                  [](ReplyContext& ctx) { return AckListEntry<clsInstrument::kXZ>(ctx, &clsInstrument::XZ_); }});
  rows.push_back({"XV,R", kRecord, ReadSelection});
  rows.push_back({"XV,W", kRecord, AckSelection});
}

}  // namespace kv
