#include "link/change_review.h"

#include "rules/setting_names.h"
#include "rules/settings_view_parts.h"

namespace kv {

std::vector<ReviewRow> ReviewRows(const std::vector<PendingChange>& changes,
                                  const clsInstrument& before, const clsInstrument& after) {
  std::vector<ReviewRow> rows;
  rows.reserve(changes.size());
  for (const PendingChange& change : changes) {
    const SettingInfo* info = view::FindSetting(change.setting);
    if (info == nullptr) continue;
    rules::SettingChange shown = rules::DescribeChange(*info, change.index, before, after);
    const bool unchanged = SameValue(info->get(before, change.index), info->get(after, change.index));
    rows.push_back({std::move(shown.name), std::move(shown.before), std::move(shown.after), unchanged});
  }
  return rows;
}

}  // namespace kv
