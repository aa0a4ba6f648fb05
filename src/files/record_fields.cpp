#include "files/record_fields.h"

#include <array>
#include <charconv>

#include "protocol/codecs.h"
#include "protocol/field_parse.h"

namespace kv::record {
namespace {

struct StatusWord {
  std::string_view word;
  Single code;
};
// Files written by other tools may carry a status in place of a reading.
constexpr std::array<StatusWord, 9> kStatusWords{{
    {"NOR", kStatusNormal}, {"WAR", kStatusWarning}, {"ALR", kStatusAlarm},
    {"STE", kStatusStel},   {"TWA", kStatusTwa},     {"OVE", kStatusOver},
    {"FAI", kStatusFail},   {"MAX", kStatusMax},     {"MIN", kStatusMin},
}};
constexpr std::size_t kStatusWordLength = 3;

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::optional<Single> StatusCode(std::string_view field) {
  const std::string word = Upper(Trim(field));
  if (word.size() < kStatusWordLength) return std::nullopt;
  for (const auto& status : kStatusWords) {
    if (word.compare(0, kStatusWordLength, status.word) == 0) return status.code;
  }
  return std::nullopt;
}

}  // namespace

Single DecodeReading(std::string_view field, int places) {
  if (!DecodeSpecialCode(field) && !IsHexadecimal(field)) {
    if (const auto status = StatusCode(field)) return *status;
  }
  return DecodeValue(field, places);
}

const std::string& RecordLine::Field(int i) const {
  static const std::string kMissing;
  return i + 2 < token_.TokenCount() ? token_.Tokens(i + 2) : kMissing;
}

std::string RecordLine::TextField(int i) const { return Trim(Field(i)); }

bool RecordLine::Fail(const std::string& why) {
  if (reason_ != nullptr) *reason_ = code_ + ": " + why;
  return false;
}

bool RecordLine::Stored(bool accepted, int index) {
  return accepted || Fail("index " + std::to_string(index) + " is outside the table");
}

std::optional<Integer> RecordLine::Convert(int i, std::optional<Integer> value,
                                           std::string_view kind) {
  if (!value) {
    Fail("field " + std::to_string(i + 1) + " (\"" + Field(i) + "\") is not " + std::string(kind));
  }
  return value;
}

std::optional<Integer> RecordLine::Hex16(int i) {
  return Convert(i, ParseHex16(Field(i)), "a 16-bit hexadecimal number");
}

std::optional<Integer> RecordLine::Dec16(int i) {
  return Convert(i, ParseDec16(Field(i)), "a 16-bit decimal number");
}

std::optional<Long> RecordLine::Hex32(int i) {
  const auto value = ParseHex32(Field(i));
  if (!value) {
    Fail("field " + std::to_string(i + 1) + " (\"" + Field(i) + "\") is not a hexadecimal number");
  }
  return value;
}

std::optional<Single> RecordLine::Decimal(int i) {
  const std::string text = TextField(i);
  Single value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::fixed);
  if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
    Fail("field " + std::to_string(i + 1) + " (\"" + Field(i) + "\") is not a decimal number");
    return std::nullopt;
  }
  return value;
}

}  // namespace kv::record
