#include "link/pending_changes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <type_traits>
#include <utility>
#include <variant>

#include "link/write_groups.h"

namespace kv {
namespace {

struct WritePosition {
  std::size_t group = 0;
  int entry = 0;
  bool found = false;
};

// The first group line a record with flags raised by `raise` sends, not
// counting the lines an upload sends whatever is flagged.
template <typename Raise>
WritePosition FirstLineWanted(const clsInstrument& base, const Raise& raise) {
  clsInstrument probe = base;
  probe.ClearChangeFlags();
  clsInstrument unflagged = probe;
  raise(probe);
  const auto groups = WriteGroups();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (int entry = 0; entry < groups[g].entries; ++entry) {
      if (groups[g].wanted(probe, entry, false) && !groups[g].wanted(unflagged, entry, false)) {
        return {g, entry, true};
      }
    }
  }
  return {};
}

}  // namespace

std::vector<PendingChange> PendingChanges(const clsInstrument& current, const clsInstrument& edited) {
  struct Ordered {
    WritePosition position;
    PendingChange change;
  };
  std::vector<Ordered> found;
  for (const SettingInfo& info : AllSettings()) {
    if (info.changed == nullptr) continue;
    for (int index = 0; index < info.count; ++index) {
      if (!info.changed(edited, index)) continue;
      // Through the current value and back, for a setter that raises its
      // flag only on a real change.
      const WritePosition position = FirstLineWanted(edited, [&](clsInstrument& probe) {
        [[maybe_unused]] const bool away = info.set(probe, index, info.get(current, index));
        [[maybe_unused]] const bool back = info.set(probe, index, info.get(edited, index));
      });
      if (!position.found) continue;  // the upload never writes it
      PendingChange change{info.name, index, info.get(current, index), info.get(edited, index),
                           WriteGroups()[position.group].code, position.entry};
      found.push_back({position, std::move(change)});
    }
  }
  std::stable_sort(found.begin(), found.end(), [](const Ordered& a, const Ordered& b) {
    if (a.position.group != b.position.group) return a.position.group < b.position.group;
    return a.position.entry < b.position.entry;
  });
  std::vector<PendingChange> changes;
  changes.reserve(found.size());
  for (Ordered& item : found) changes.push_back(std::move(item.change));
  return changes;
}

std::string SettingValueText(const SettingValue& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>) {
          return v ? "On" : "Off";
        } else if constexpr (std::is_same_v<T, Text>) {
          return v;
        } else if constexpr (std::is_floating_point_v<T>) {
          char text[32];
          std::snprintf(text, sizeof text, "%.7g", static_cast<double>(v));
          return text;
        } else {
          return std::to_string(v);
        }
      },
      value);
}

bool SameValue(const SettingValue& a, const SettingValue& b) {
  if (const auto* x = std::get_if<Single>(&a)) {
    const auto* y = std::get_if<Single>(&b);
    if (y == nullptr) return false;
    const double scale = std::max(1.0, std::fabs(static_cast<double>(*x)));
    return std::fabs(static_cast<double>(*x) - static_cast<double>(*y)) <= 1e-5 * scale;
  }
  return a == b;
}

}  // namespace kv
