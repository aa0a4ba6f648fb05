// Replies carrying the instrument's global settings: the one-value settings,
// the small groups of two or three fields and the methane elimination levels.
#include <array>

#include "protocol/catalogue_rows.h"
#include "protocol/codecs.h"
#include "protocol/field_parse.h"
#include "protocol/reply_fields.h"

namespace kv {
namespace {

// How the one field of a global setting decodes (the same on read and on the
// write acknowledgement's echo). Some settings are read as hexadecimal but
// written as decimal: the instrument works that way, and their echoes repeat
// the decimal write line (kCompareDecimal).
enum class FieldRule {
  kNumericDecimal,  // must be numeric
  kHexadecimal,     // hexadecimal digits
  kNumericBoolean,  // must be numeric; "1" gives 1, anything else 0
  kNumericFlag,     // must be numeric; first character "1" gives 1, else 0
  kIntervalCode,    // decimal interval code, kept as seconds
  kFlagOrOn,        // numeric: first character "1" gives 1, else 0; not numeric: 1
  kLogoDigit,       // numeric: first character as a digit 0..3, else 1; not numeric: 1
};

enum class AckRule {
  kCompareDecoded,   // the echo, decoded like the read, must equal the record
  kCompareDecimal,   // the echo, in decimal as the write line carries it, must equal the record
  kCompareFlagText,  // the echo must be "1" for a non-zero value, "0" for zero
  kNotChecked,
};

struct GlobalSetting {
  std::string_view code;
  FieldRule rule;
  AckRule ack;
  Integer (*value)(const clsInstrument&);
  void (*store)(clsInstrument&, Integer);  // stores the value and clears its change flag
};

constexpr int kLogoChoices = 4;

std::optional<Integer> DecodeSetting(FieldRule rule, std::string_view field) {
  const bool numeric = IsNumeric(field);
  switch (rule) {
    case FieldRule::kNumericDecimal:
      if (!numeric) return std::nullopt;
      return ParseDec16(field);
    case FieldRule::kHexadecimal:
      return ParseHex16(field);
    case FieldRule::kNumericBoolean:
      if (!numeric) return std::nullopt;
      return static_cast<Integer>(Trim(field) == "1" ? 1 : 0);
    case FieldRule::kNumericFlag:
      if (!numeric) return std::nullopt;
      return FirstCharFlag(field);
    case FieldRule::kIntervalCode: {
      const auto code = ParseDec16(field);
      if (!code) return std::nullopt;
      return static_cast<Integer>(IntervalSeconds(*code));
    }
    case FieldRule::kFlagOrOn:
      return numeric ? FirstCharFlag(field) : Integer{1};
    case FieldRule::kLogoDigit: {
      if (!numeric) return Integer{1};
      const int digit = Trim(field).front() - '0';
      return static_cast<Integer>(digit >= 0 && digit < kLogoChoices ? digit : 1);
    }
  }
  return std::nullopt;
}

#define KV_SETTING(Code, Rule, Ack, Name)                                              \
  GlobalSetting {                                                                     \
    Code, FieldRule::Rule, AckRule::Ack,                                              \
        [](const clsInstrument& r) { return static_cast<Integer>(r.Name()); },        \
        [](clsInstrument& r, Integer v) { r.Store##Name(v); }                         \
  }
// DispCalLimit and DispID are Booleans on the record.
#define KV_BOOL_SETTING(Code, Name)                                                   \
  GlobalSetting {                                                                     \
    Code, FieldRule::kNumericBoolean, AckRule::kCompareDecoded,                       \
        [](const clsInstrument& r) { return static_cast<Integer>(r.Name() ? 1 : 0); }, \
        [](clsInstrument& r, Integer v) { r.Store##Name(v != 0); }                    \
  }

constexpr std::array<GlobalSetting, 22> kGlobalSettings{{
    KV_SETTING("AP", kNumericDecimal, kCompareDecoded, AlarmMode),
    KV_BOOL_SETTING("SD", DispCalLimit),
    KV_SETTING("SC", kHexadecimal, kCompareDecoded, CalLimit),
    KV_SETTING("SM", kNumericDecimal, kCompareDecoded, CalCheck),
    KV_SETTING("XP", kIntervalCode, kCompareDecoded, Intervals),
    KV_BOOL_SETTING("XI", DispID),
    KV_SETTING("XL", kNumericDecimal, kCompareDecoded, LunchBreak),
    KV_SETTING("XA", kNumericDecimal, kCompareDecoded, AlarmSilence),
    KV_SETTING("XB", kHexadecimal, kCompareDecimal, Confermation),
    KV_SETTING("XW", kNumericDecimal, kCompareDecoded, LogOverWrite),
    KV_SETTING("XT", kHexadecimal, kCompareDecoded, LcdBackLight),
    KV_SETTING("UL", kHexadecimal, kCompareDecoded, LcdContrast),
    KV_SETTING("AT", kNumericDecimal, kCompareDecoded, AlarmO2),
    KV_SETTING("XC", kNumericDecimal, kCompareDecoded, LogaClear),
    KV_SETTING("SJ", kNumericFlag, kCompareDecoded, AutoZero),
    KV_SETTING("LF", kNumericFlag, kCompareFlagText, ConvFc),
    KV_SETTING("HB", kNumericFlag, kCompareFlagText, Battery),
    KV_SETTING("UV", kLogoDigit, kNotChecked, LogoDisp),
    KV_SETTING("AF", kFlagOrOn, kNotChecked, AFapDisp),
    KV_SETTING("UI", kFlagOrOn, kNotChecked, UIgasDisp),
    KV_SETTING("UW", kFlagOrOn, kNotChecked, UWdateDisp),
    KV_SETTING("XD", kFlagOrOn, kNotChecked, RemainTimeDisp),
}};
#undef KV_SETTING
#undef KV_BOOL_SETTING

// The record's value as its write line carries it. An interval the code
// table does not hold (a record never read holds 0) goes out as the default
// code, and its echo must be taken as that code's interval.
Integer AsWritten(FieldRule rule, Integer value) {
  if (rule == FieldRule::kIntervalCode) {
    return static_cast<Integer>(IntervalSeconds(IntervalCode(value)));
  }
  return value;
}

bool ReadSetting(ReplyContext& ctx, const GlobalSetting& setting) {
  const auto value = DecodeSetting(setting.rule, ctx.Field(0));
  if (!value) return kRefused;
  setting.store(ctx.Record(), *value);
  return true;
}

// Checked echoes only: their rows need a record (unchecked ones have a row
// of their own that never reads it).
bool AckSetting(ReplyContext& ctx, const GlobalSetting& setting) {
  switch (setting.ack) {
    case AckRule::kCompareDecoded: {
      const auto echoed = DecodeSetting(setting.rule, ctx.Field(0));
      if (!echoed) return kRefused;
      return *echoed == AsWritten(setting.rule, setting.value(ctx.Record()));
    }
    case AckRule::kCompareDecimal: {
      const auto echoed = ParseDec16(ctx.Field(0));
      if (!echoed) return kRefused;
      return *echoed == setting.value(ctx.Record());
    }
    case AckRule::kCompareFlagText:
      return Trim(ctx.Field(0)) == (setting.value(ctx.Record()) != 0 ? "1" : "0");
    case AckRule::kNotChecked:
      break;
  }
  return kRefused;
}

void AddGlobalSettingRows(ReplyRows& rows, const GlobalSetting& setting) {
  const std::string code(setting.code);
  rows.push_back({code + ",R", NeedsRecord::kYes,
                  [&setting](ReplyContext& ctx) { return ReadSetting(ctx, setting); }});
  // An echo that is not checked never looks at the record, so it is accepted
  // even when it arrives with no record attached (nothing pending).
  if (setting.ack == AckRule::kNotChecked) {
    rows.push_back({code + ",W", NeedsRecord::kNo, AcceptReply});
    return;
  }
  rows.push_back({code + ",W", NeedsRecord::kYes,
                  [&setting](ReplyContext& ctx) { return AckSetting(ctx, setting); }});
}

// ---- settings with their own rules -----------------------------------------

bool ReadUsePassword(ReplyContext& ctx) {
  if (ctx.Count() != 1) return FormatError(ctx);
  const auto value = ParseHex16(ctx.Field(0));
  if (!value) return kRefused;
  ctx.Record().StoreUsePasswd(*value);
  return true;
}

constexpr std::size_t kPasswordLength = 4;

bool ReadPassword(ReplyContext& ctx) {
  if (ctx.Field(0).size() != kPasswordLength) return FormatError(ctx);
  ctx.Record().StorePassword(ctx.Field(0));
  return true;
}

bool AckPassword(ReplyContext& ctx) { return ctx.Field(0) == ctx.Record().Password(); }

constexpr std::size_t kLogoNameWidth = 20;

bool ReadLogoName(ReplyContext& ctx) {
  ctx.Record().StoreBNuserLogoName(CutText(ctx.Field(0), kLogoNameWidth));
  return true;
}

// XE: methane elimination and alive display; both on when f0 is not numeric.
bool ReadDisplayFlags(ReplyContext& ctx) {
  clsInstrument& record = ctx.Record();
  const bool numeric = IsNumeric(ctx.Field(0));
  record.StoreMEDisp(numeric ? FirstCharFlag(ctx.Field(0)) : Integer{1});
  record.StoreAliveDisp(numeric ? FirstCharFlag(ctx.Field(1)) : Integer{1});
  return true;
}

// SG: demand zero and span factor display; 1 and 0 when f0 is not numeric.
bool ReadZeroSpanFlags(ReplyContext& ctx) {
  clsInstrument& record = ctx.Record();
  const bool numeric = IsNumeric(ctx.Field(0));
  record.StoreDemandZero(numeric ? FirstCharFlag(ctx.Field(0)) : Integer{1});
  record.StoreDispSpanFc(numeric ? FirstCharFlag(ctx.Field(1)) : Integer{0});
  return true;
}

// LP: older instruments send the mode without the current value.
bool ReadHcMode(ReplyContext& ctx) {
  const int n = ctx.Count();
  if (n != 1 && n != 2) return FormatError(ctx);
  clsInstrument& record = ctx.Record();
  if (!IsNumeric(ctx.Field(0))) return kRefused;
  const auto mode = ParseDec16(ctx.Field(0));
  if (!mode) return kRefused;
  record.StoreHcMode(*mode);
  if (n == 2 && IsNumeric(ctx.Field(1))) {
    const auto current = ParseDec16(ctx.Field(1));
    if (!current) return kRefused;
    record.StoreCurrHc(*current);
    record.SetinvalidLP(false);
  } else if (n == 1) {
    record.SetinvalidLP(true);
  }
  return true;
}

bool AckHcMode(ReplyContext& ctx) {
  const auto mode = ParseDec16(ctx.Field(0));
  if (!mode) return kRefused;
  const auto current = ParseDec16(ctx.Field(1));
  if (!current) return kRefused;
  return *mode == ctx.Record().HcMode() && *current == ctx.Record().CurrHc();
}

// WB: leak beep is missing from older instruments; it then defaults to on.
bool ReadLeakSettings(ReplyContext& ctx) {
  const int n = ctx.Count();
  if (n != 2 && n != 3) return FormatError(ctx);
  clsInstrument& record = ctx.Record();
  const auto mode = ParseHex16(ctx.Field(0));
  if (!mode) return kRefused;
  record.StoreLBMode(*mode);
  const auto barHole = ParseHex16(ctx.Field(1));
  if (!barHole) return kRefused;
  record.StoreBarHoleTime(*barHole);
  if (n == 3) {
    const auto beep = ParseDec16(ctx.Field(2));
    if (!beep) return kRefused;
    record.StoreLeakBeep(*beep);
    record.SetinvalidWB(false);
  } else {
    record.StoreLeakBeep(1);
    record.SetinvalidWB(true);
  }
  return true;
}

// The echo repeats the write line, all three in decimal; only a mismatch
// refuses it.
bool AckLeakSettings(ReplyContext& ctx) {
  const clsInstrument& record = ctx.Record();
  const auto mode = ParseDec16(ctx.Field(0));
  if (!mode) return kAcceptedSoFar;
  if (*mode != record.LBMode()) return false;
  const auto barHole = ParseDec16(ctx.Field(1));
  if (!barHole) return kAcceptedSoFar;
  if (*barHole != record.BarHoleTime()) return false;
  const auto beep = ParseDec16(ctx.Field(2));
  if (!beep) return kAcceptedSoFar;
  return *beep == record.LeakBeep();
}

// ---- methane elimination levels (hexadecimal tables) ----------------------------

using StoreLevel = bool (*)(clsInstrument&, int, Integer);

// f0..f(count-1) as hexadecimal into the table entries 0..count-1; false
// when a field does not convert (the entries before it stay stored).
bool StoreLevels(ReplyContext& ctx, int count, StoreLevel store) {
  for (int k = 0; k < count; ++k) {
    const auto value = ParseHex16(ctx.Field(k));
    if (!value || !store(ctx.Record(), k, *value)) return false;
  }
  return true;
}

#define KV_LEVEL_STORE(Table) \
  [](clsInstrument& r, int k, Integer v) { return r.Store##Table(k, v); }

bool ReadLevelTable(ReplyContext& ctx, int count, StoreLevel store) {
  if (ctx.Count() != count) return FormatError(ctx);
  if (!StoreLevels(ctx, count, store)) return kRefused;
  return true;
}

constexpr Integer kDefaultHe2 = 0xAA;

// HE: older instruments send two values; the third then takes its default
// and stays flagged for writing.
bool ReadHeLevels(ReplyContext& ctx) {
  const int n = ctx.Count();
  if (n != 2 && n != 3) return FormatError(ctx);
  // HE accepts the reply before it stores the values.
  if (!StoreLevels(ctx, n, KV_LEVEL_STORE(HE_))) return kAcceptedSoFar;
  clsInstrument& record = ctx.Record();
  record.SetinvalidHE_(n == 2);
  if (n == 2 && !record.SetHE_(2, kDefaultHe2)) return kRefused;
  return true;
}

}  // namespace

void AddSettingRows(ReplyRows& rows) {
  constexpr auto kRecord = NeedsRecord::kYes;
  constexpr auto kNoRecord = NeedsRecord::kNo;
  for (const GlobalSetting& setting : kGlobalSettings) {
    AddGlobalSettingRows(rows, setting);
  }
  rows.push_back({"AL,R", kRecord, ReadUsePassword});
  rows.push_back({"AL,W", kNoRecord, AcceptReply});
  rows.push_back({"AQ,R", kRecord, ReadPassword});
  rows.push_back({"AQ,W", kRecord, AckPassword});
  rows.push_back({"BN,R", kRecord, ReadLogoName});
  rows.push_back({"BN,W", kNoRecord, AcceptReply});
  rows.push_back({"XE,R", kRecord, ReadDisplayFlags});
  rows.push_back({"XE,W", kNoRecord, AcceptReply});
  rows.push_back({"SG,R", kRecord, ReadZeroSpanFlags});
  rows.push_back({"SG,W", kNoRecord, AcceptReply});
  rows.push_back({"LP,R", kRecord, ReadHcMode});
  rows.push_back({"LP,W", kRecord, AckHcMode});
  rows.push_back({"WB,R", kRecord, ReadLeakSettings});
  rows.push_back({"WB,W", kRecord, AckLeakSettings});
  rows.push_back({"HH,R", kRecord, [](ReplyContext& ctx) { return ReadLevelTable(ctx, 2, KV_LEVEL_STORE(HH_)); }});
  rows.push_back({"HH,W", kNoRecord, AcceptReply});
  rows.push_back({"HE,R", kRecord, ReadHeLevels});
  rows.push_back({"HE,W", kNoRecord, AcceptReply});
  rows.push_back({"RP,R", kRecord, [](ReplyContext& ctx) { return ReadLevelTable(ctx, 2, KV_LEVEL_STORE(RP_)); }});
  rows.push_back({"RP,W", kNoRecord, AcceptReply});
  rows.push_back({"SI,R", kRecord, [](ReplyContext& ctx) { return ReadLevelTable(ctx, 4, KV_LEVEL_STORE(SI_)); }});
  rows.push_back({"SI,W", kNoRecord, AcceptReply});
}
#undef KV_LEVEL_STORE

}  // namespace kv
