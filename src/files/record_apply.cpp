#include "files/record_apply.h"

#include <array>
#include <string>

#include "files/record_fields.h"
#include "protocol/write_lines.h"

namespace kv {
namespace {

constexpr int kFieldsBeforeData = 2;  // the code and the access letter

std::string UpperCode(std::string_view code) {
  std::string upper(code);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

const record::RecordRule* RuleOf(std::string_view code) {
  for (const auto lookup :
       {record::GlobalRecordRule, record::ChannelRecordRule, record::TableRecordRule}) {
    if (const auto* rule = lookup(code)) return rule;
  }
  return nullptr;
}

}  // namespace

void ConfigureRecordTokenizer(clsToken& token) {
  token.ClearComments();
  token.ClearDelimiters();
  token.ClearStrings();
  token.AddComments(";");
  token.AddDelimiters(",");
}

bool IsRecordCode(std::string_view code) {
  const std::string upper = UpperCode(code);
  for (const auto& row : FileRecordTable()) {
    if (row.code == upper) return true;
  }
  return false;
}

bool ApplyRecordText(clsInstrument& r, clsToken& token, std::string_view text,
                     std::string* reason) {
  if (!token.SetSource(text)) {
    if (reason != nullptr) *reason = "more than 129 fields on one line";
    return false;
  }
  // A comment line or a blank one holds no record; its slot 0 may still hold
  // text, which must not be taken for a code.
  if (token.TokenCount() == 0) return true;
  std::string code = UpperCode(token.Tokens(0));
  const record::RecordRule* rule = RuleOf(code);
  if (rule == nullptr) return true;  // not a record code
  record::RecordLine line(token, std::move(code), reason);
  const int fields = token.TokenCount() - kFieldsBeforeData;
  if (fields < rule->minFields) {
    return line.Fail("the line holds " + std::to_string(fields) + " of the " +
                     std::to_string(rule->minFields) + " fields the record needs: it was cut short");
  }
  return rule->handler(r, line);
}

}  // namespace kv
