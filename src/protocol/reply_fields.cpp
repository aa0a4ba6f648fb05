#include "protocol/reply_fields.h"

#include <array>

#include "protocol/field_parse.h"
#include "protocol/framing.h"

namespace kv {

const std::string& ReplyContext::Field(int index) const {
  static const std::string kAbsent;
  return index >= 0 && index < Count() ? fields.Tokens(index) : kAbsent;
}

bool AcceptReply(ReplyContext&) { return true; }

bool FormatError(ReplyContext& ctx) {
  ctx.effects.AddLog(kFormatErrorLog);
  return false;
}

bool ResponseError(ReplyContext& ctx) {
  ctx.effects.AddLog(kResponseErrorLog);
  return false;
}

bool AcknowledgedWithAck(ReplyContext& ctx) {
  return ctx.c0 == kACK ? true : ResponseError(ctx);
}

bool EchoesLastLine(const ReplyContext& ctx) { return ctx.frame == ctx.effects.LastLineSent(); }

Integer FirstCharFlag(std::string_view field) {
  const std::string trimmed = Trim(field);
  return !trimmed.empty() && trimmed.front() == '1' ? 1 : 0;
}

std::optional<DateTime> DateFromStamp(std::string_view stamp) {
  if (stamp.size() != kDateStampLength) {
    return std::nullopt;
  }
  // Six two-digit parts: year in the century, month, day, hour, minute, second.
  std::array<int, 6> parts{};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const char tens = stamp[2 * i];
    const char ones = stamp[2 * i + 1];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') {
      return std::nullopt;
    }
    parts[i] = (tens - '0') * 10 + (ones - '0');
  }
  const DateTime date{2000 + parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
  if (!IsValidDateTime(date)) {
    return std::nullopt;
  }
  return date;
}

std::optional<double> PerReference(double value, double numerator, Long reference) {
  if (reference == 0) {
    return std::nullopt;
  }
  return value * numerator / static_cast<double>(reference);
}

std::string UpperText(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return upper;
}

}  // namespace kv
