#pragma once
// Where the replies of one exchange go: the record they fill and what the
// service replies report. A transaction owns its sink and hands it to each
// wait; the link passes it to the dispatcher with every reply that arrives
// during that wait. A reply while nothing waits gets an empty sink of its own.
#include <optional>
#include <string>
#include <vector>

#include "model/instrument.h"

namespace kv {

// One entry of a dump list reply: a 32-character row and its address.
struct DumpListItem {
  std::string name;
  long address = 0;
};

struct ReplySink {
  explicit ReplySink(clsInstrument* target = nullptr) : record(target) {}
  // Handed by reference, never copied: a copy would collect what nobody reads.
  ReplySink(const ReplySink&) = delete;
  ReplySink& operator=(const ReplySink&) = delete;
  ReplySink(ReplySink&&) = default;
  ReplySink& operator=(ReplySink&&) = default;
  ~ReplySink() = default;

  // The record the replies fill; null: replies that need one are refused.
  clsInstrument* record = nullptr;

  // Each result stays empty until a reply reports it.
  // "BP,R" true (the instrument has finished), "BP,A" false.
  std::optional<bool> busyPoll;
  // "SZ,C" / "S2,C" and "S1,C": seven status digits, "" while still busy.
  std::optional<std::string> zeroResult;
  std::optional<std::string> spanResult;
  // "UX,C": the outcome character of a defaults load, "" while still busy.
  std::optional<std::string> defaultStatus;
  // "EF,R" / "ES,R" rows, in arrival order.
  std::vector<DumpListItem> dumpList;
  // The last binary arrival taken without a binary receiver.
  std::optional<std::string> receivedBytes;
};

}  // namespace kv
