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
  // Data field i (token i + 2). A field beyond the line's end holds what an
  // earlier line left in that slot of the tokenizer.
  const std::string& Field(int i) const { return token_.Tokens(i + 2); }
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

// Handlers of one group of codes; nullptr for a code of another group.
RecordHandler GlobalRecordHandler(std::string_view code);
RecordHandler ChannelRecordHandler(std::string_view code);
RecordHandler TableRecordHandler(std::string_view code);

}  // namespace kv::record
