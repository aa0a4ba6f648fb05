#pragma once
// The write list of the upload: one group per setting group, in the order the
// instrument takes them. A group sends one line when its change flags say so
// (or one line per flagged entry of a table) and clears those flags once the
// instrument has acknowledged it.
#include <span>
#include <string>
#include <string_view>

#include "model/instrument.h"

namespace kv {

struct WriteGroup {
  std::string_view code;  // "XS", "GP", ...
  // Entries walked in ascending order; 1 for a group of one line.
  int entries;
  // Whether entry `entry` goes out. `saveAsDefault` is the store command's
  // "Save as default instrument settings." choice.
  bool (*wanted)(const clsInstrument& record, int entry, bool saveAsDefault);
  // The command text of the entry ("XS,W,06,...").
  std::string (*build)(const clsInstrument& record, int entry);
  // Clears the change flags the acknowledged entry carried.
  void (*clear)(clsInstrument& record, int entry);

  bool PerEntry() const { return entries > 1; }
};

inline constexpr int kWriteGroupCount = 66;

// The 66 groups in sending order.
std::span<const WriteGroup> WriteGroups();

}  // namespace kv
