#pragma once
// Internal to the maintenance data file reader: reading the data fields of
// one record line, with a reason for the caller when a field does not convert.
#include <optional>
#include <string>
#include <string_view>

#include "model/instrument.h"
#include "protocol/token.h"

namespace kv::record {

// A reading-type field: the special forms "FFFF", "FEFE", "DDDD", a status
// word ("NOR", "OVER", "FAIL" and the like, by its first three letters) as its
// status code, hexadecimal digits as a value with `places` decimal places, and
// anything else as no data.
Single DecodeReading(std::string_view field, int places);

class RecordLine {
 public:
  RecordLine(const clsToken& token, std::string code, std::string* reason)
      : token_(token), code_(std::move(code)), reason_(reason) {}

  const std::string& Code() const { return code_; }
  // Tokens on the line, the code and access letter included.
  int TokenCount() const { return token_.TokenCount(); }
  // Data field i (token i + 2); "" beyond the line's end (the tokenizer's
  // slot there still holds an earlier line's field).
  const std::string& Field(int i) const;
  std::string TextField(int i) const;  // trimmed

  std::optional<Integer> Hex16(int i);
  std::optional<Long> Hex32(int i);
  std::optional<Integer> Dec16(int i);
  std::optional<Single> Decimal(int i);
  Single Reading(int i, int places) const { return DecodeReading(Field(i), places); }

  // Records why the line failed; always false, so that handlers can return it.
  bool Fail(const std::string& why);
  // A setter's answer: false when the index lay outside the model's table.
  bool Stored(bool accepted, int index);

 private:
  std::optional<Integer> Convert(int i, std::optional<Integer> value, std::string_view kind);

  const clsToken& token_;
  std::string code_;
  std::string* reason_;
};

using RecordHandler = bool (*)(clsInstrument& r, RecordLine& line);

// How one code is read. `minFields` is the number of data fields of its
// shortest accepted form: a line with fewer was cut short, and reading it
// would take the missing fields from an earlier line.
struct RecordRule {
  std::string_view code;
  RecordHandler handler;
  int minFields;
};

// The rule of a code of one group; nullptr for a code of another group.
const RecordRule* GlobalRecordRule(std::string_view code);
const RecordRule* ChannelRecordRule(std::string_view code);
const RecordRule* TableRecordRule(std::string_view code);

// The rule found in `rules` for `code`, or nullptr.
template <typename Rules>
const RecordRule* FindRecordRule(const Rules& rules, std::string_view code) {
  for (const RecordRule& rule : rules) {
    if (rule.code == code) return &rule;
  }
  return nullptr;
}

}  // namespace kv::record
