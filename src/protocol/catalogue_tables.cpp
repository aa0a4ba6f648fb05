// Replies carrying the conversion tables (user-defined LO, pre-defined LB),
// their levels (LA) and count (LN), and the PID sensor table (LS, LI, LJ).
#include <limits>

#include "protocol/catalogue_rows.h"
#include "protocol/codecs.h"
#include "protocol/field_parse.h"
#include "protocol/framing.h"
#include "protocol/reply_fields.h"

namespace kv {
namespace {

// ---- conversion tables -------------------------------------------------------

// An entry's fields are set one by one, as edits, and its flag is cleared
// only when the whole entry has arrived: a reply that fails half-way leaves
// the entry flagged.
struct ConversionTable {
  bool (clsInstrument::*setLongName)(int, Text);
  bool (clsInstrument::*setName)(int, Text);
  bool (clsInstrument::*setFactor)(int, Integer);
  void (clsInstrument::*setChanged)(int, bool);
  void (clsInstrument::*setShortForm)(bool);  // the validity flag of the table
};

constexpr ConversionTable kUserTable{&clsInstrument::SetLO_longname, &clsInstrument::SetLO_name,
                                     &clsInstrument::SetLO_fc, &clsInstrument::SetChange_LO_,
                                     &clsInstrument::SetinvalidLO_};
constexpr ConversionTable kPredefinedTable{&clsInstrument::SetLB_longname, &clsInstrument::SetLB_name,
                                           &clsInstrument::SetLB_fc, &clsInstrument::SetChange_LB_,
                                           &clsInstrument::SetinvalidLB_};

constexpr std::size_t kFactorPair = 2;
constexpr std::size_t kFullFactorLength = 4;

// The factor as two hexadecimal digit pairs (high, low); older instruments
// send only the first pair. A factor that does not fit an Integer fails.
std::optional<Integer> FactorField(std::string_view field) {
  if (field.size() != kFullFactorLength) return ParseHex16(field.substr(0, kFactorPair));
  const auto high = ParseHex16(field.substr(0, kFactorPair));
  const auto low = ParseHex16(field.substr(kFactorPair, kFactorPair));
  if (!high || !low) return std::nullopt;
  const int factor = *high * 256 + *low;
  if (factor > std::numeric_limits<Integer>::max()) return std::nullopt;
  return static_cast<Integer>(factor);
}

bool ReadConversionEntry(ReplyContext& ctx, const ConversionTable& table) {
  if (ctx.Count() != 4) return FormatError(ctx);
  clsInstrument& record = ctx.Record();
  const auto index = ParseHex16(ctx.Field(0));
  if (!index) return kRefused;
  if (!(record.*table.setLongName)(*index, ctx.Field(1))) return kRefused;
  if (!(record.*table.setName)(*index, ctx.Field(2))) return kRefused;
  const std::string& factorField = ctx.Field(3);
  const auto factor = FactorField(factorField);
  if (!factor || !(record.*table.setFactor)(*index, *factor)) return kRefused;
  (record.*table.setShortForm)(factorField.size() != kFullFactorLength);
  (record.*table.setChanged)(*index, false);
  return true;
}

// LB: instruments without the pre-defined table answer NAK.
bool ReadPredefinedEntry(ReplyContext& ctx) {
  if (ctx.c0 == kNAK) {
    ctx.Record().SetinvalidLB_(true);
    return true;
  }
  return ReadConversionEntry(ctx, kPredefinedTable);
}

bool ReadTableCount(ReplyContext& ctx) {
  if (ctx.Count() != 1) return FormatError(ctx);
  const auto count = ParseHex16(ctx.Field(0));
  if (!count) return kRefused;
  ctx.Record().StoreLN_(*count);
  return true;
}

// LA: the two levels of one conversion entry, in channel 0's decimal places.
bool ReadConversionLevels(ReplyContext& ctx) {
  clsInstrument& record = ctx.Record();
  if (ctx.c0 == kNAK) {
    record.SetinvalidLA_(true);
    return true;
  }
  if (ctx.Count() != 5) return FormatError(ctx);
  const auto index = ParseHex16(ctx.Field(0));
  if (!index) return kRefused;
  const int places = record.GasPoint(0);
  // Flagged until the whole entry has arrived, like the conversion entries.
  if (!record.SetLA_warn(*index, DecodeValue(ctx.Field(1), places)) ||
      !record.SetLA_alarm(*index, DecodeValue(ctx.Field(2), places))) {
    return kRefused;
  }
  const auto ratio = ParseHex32(ctx.Field(3));
  if (!ratio || !record.SetLA_ratio(*index, static_cast<Single>(RawToValue(*ratio)))) return kRefused;
  const auto mode = ParseHex16(ctx.Field(4));
  if (!mode || !record.SetLA_volt(*index, *mode)) return kRefused;
  record.SetChange_LA_(*index, false);
  record.SetinvalidLA_(false);
  return true;
}

// ---- PID sensor table --------------------------------------------------------
// Entries outside the table are ignored by the record.

bool ReadPidName(ReplyContext& ctx) {
  if (ctx.Count() != 3) return FormatError(ctx);
  const auto entry = ParseHex16(ctx.Field(0));
  if (!entry) return kRefused;
  clsInstrument& record = ctx.Record();
  record.StorePIDNames(*entry, ctx.Field(1), UpperText(ctx.Field(2)));
  return true;
}

constexpr int kHighRange = 0;  // LJ
constexpr int kLowRange = 1;   // LI
constexpr int kPidFieldsWithFactor = 11;
constexpr int kPidFieldsWithoutFactor = 10;
constexpr int kFactorField = 10;

// Fields f0..f9 of one PID range; the decimal places (f2) are stored first so
// that the values use them. Set as edits: the caller clears the range's flag
// once the whole range has arrived.
bool StorePidRange(ReplyContext& ctx, int range, int& entry) {
  clsInstrument& record = ctx.Record();
  const auto parsedEntry = ParseHex16(ctx.Field(0));
  if (!parsedEntry) return false;
  entry = *parsedEntry;
  const auto places = ParseDec16(ctx.Field(2));
  if (!places) return false;
  record.SetPIDPoint(entry, range, *places);
  record.SetPIDFullScale(entry, range, DecodeValue(ctx.Field(1), *places));
  const auto unit = ParseHex16(ctx.Field(3));
  if (!unit) return false;
  record.SetPIDUnit(entry, range, UnitText(*unit));
  record.SetPIDDigit(entry, range, DecodeValue(ctx.Field(4), *places));
  record.SetPIDWarn(entry, range, DecodeValue(ctx.Field(5), *places));
  record.SetPIDAlarm(entry, range, DecodeValue(ctx.Field(6), *places));
  record.SetPIDStel(entry, range, DecodeValue(ctx.Field(7), *places));
  record.SetPIDTwa(entry, range, DecodeValue(ctx.Field(8), *places));
  record.SetPIDAutoCal(entry, range, DecodeValue(ctx.Field(9), *places));
  return true;
}

bool StorePidFactor(ReplyContext& ctx, int entry, int range) {
  const auto factor = ParseHex32(ctx.Field(kFactorField));
  if (!factor) return false;
  ctx.Record().SetPIDFactor(entry, range, static_cast<Single>(*factor));
  return true;
}

// LI: the low range; older instruments send no factor.
bool ReadPidLowRange(ReplyContext& ctx) {
  const int n = ctx.Count();
  if (n != kPidFieldsWithFactor && n != kPidFieldsWithoutFactor) return FormatError(ctx);
  int entry = 0;
  if (!StorePidRange(ctx, kLowRange, entry)) return kRefused;
  clsInstrument& record = ctx.Record();
  if (n == kPidFieldsWithFactor) {
    if (!StorePidFactor(ctx, entry, kLowRange)) return kRefused;
    record.SetinvalidLI(false);
  } else {
    record.SetinvalidLI(true);
  }
  record.SetChange_PIDSpec(entry, kLowRange, false);
  return true;
}

// LJ: the high range; instruments without it answer NAK.
bool ReadPidHighRange(ReplyContext& ctx) {
  clsInstrument& record = ctx.Record();
  if (ctx.c0 == kNAK) {
    record.SetinvalidLJ(true);
    return true;
  }
  int entry = 0;
  if (!StorePidRange(ctx, kHighRange, entry) || !StorePidFactor(ctx, entry, kHighRange)) {
    return kRefused;
  }
  record.SetinvalidLJ(false);
  record.SetChange_PIDSpec(entry, kHighRange, false);
  return true;
}

}  // namespace

void AddTableRows(ReplyRows& rows) {
  constexpr auto kRecord = NeedsRecord::kYes;
  constexpr auto kNoRecord = NeedsRecord::kNo;
  rows.push_back({"LO,R", kRecord, [](ReplyContext& ctx) { return ReadConversionEntry(ctx, kUserTable); }});
  rows.push_back({"LB,R", kRecord, ReadPredefinedEntry});
  rows.push_back({"LN,R", kRecord, ReadTableCount});
  rows.push_back({"LA,R", kRecord, ReadConversionLevels});
  rows.push_back({"LS,R", kRecord, ReadPidName});
  rows.push_back({"LI,R", kRecord, ReadPidLowRange});
  rows.push_back({"LJ,R", kRecord, ReadPidHighRange});
  for (const char* key : {"LO,W", "LB,W", "LN,W", "LA,W", "LS,W", "LI,W", "LJ,W"}) {
    rows.push_back({key, kNoRecord, AcceptReply});
  }
}

}  // namespace kv
