#include "sim/sim_apply.h"

#include "files/record_apply.h"
#include "protocol/token.h"

namespace kv::sim {

bool ApplyWriteRecord(clsInstrument& settings, std::string_view text, std::string* reason) {
  // A fresh tokenizer per command: a short write must not pick up fields of
  // an earlier one.
  clsToken token;
  ConfigureRecordTokenizer(token);
  return ApplyRecordText(settings, token, text, reason);
}

}  // namespace kv::sim
