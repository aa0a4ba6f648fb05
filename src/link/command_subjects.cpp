#include "link/command_subjects.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "link/write_groups.h"
#include "model/instrument_settings.h"
#include "protocol/frame_view.h"

namespace kv {
namespace {

constexpr std::size_t kNamesShown = 3;

// Field `n` of a command text, 0 being the code.
std::string_view Field(std::string_view text, int n) {
  for (int i = 0; i < n; ++i) {
    const auto comma = text.find(',');
    if (comma == std::string_view::npos) return {};
    text.remove_prefix(comma + 1);
  }
  return text.substr(0, text.find(','));
}

const WriteGroup* GroupOf(std::string_view code) {
  for (const WriteGroup& group : WriteGroups()) {
    if (group.code == code) return &group;
  }
  return nullptr;
}

// The entries of `group` a line with this entry field stands for: the one
// whose write line carries the same field, or every entry (a read of the
// whole table, "XZ,R,00").
std::vector<int> EntriesOf(const WriteGroup& group, std::string_view entryField) {
  std::vector<int> entries;
  if (group.PerEntry()) {
    const clsInstrument blank;
    for (int entry = 0; entry < group.entries; ++entry) {
      if (Field(group.build(blank, entry), 2) == entryField) return {entry};
    }
  }
  for (int entry = 0; entry < group.entries; ++entry) entries.push_back(entry);
  return entries;
}

// The names of the settings whose flags the group clears for `entry`.
void AddCarried(const WriteGroup& group, int entry, const clsInstrument& record,
                std::vector<std::string>& names) {
  clsInstrument flagged = record;
  flagged.SetChangeFlags(true);
  clsInstrument cleared = flagged;
  group.clear(cleared, entry);
  for (const SettingInfo& setting : AllSettings()) {
    if (setting.changed == nullptr) continue;
    for (int index = 0; index < setting.count; ++index) {
      if (!setting.changed(flagged, index) || setting.changed(cleared, index)) continue;
      std::string name = SettingCaption(setting, record, index);
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
    }
  }
}

std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) {
    text += (i == 0 ? "" : ", ") + names[i];
  }
  if (names.size() > kNamesShown) {
    text = names.front() + " and " + std::to_string(names.size() - 1) + " more";
  }
  return text;
}

}  // namespace

std::string LineHead(std::string_view commandText) {
  const std::string_view code = Field(commandText, 0);
  const std::string_view access = Field(commandText, 1);
  std::string head = std::string(code) + "," + std::string(access);
  const WriteGroup* group = GroupOf(code);
  const std::string_view entry = Field(commandText, 2);
  if (group != nullptr && group->PerEntry() && !entry.empty()) head += "," + std::string(entry);
  return head;
}

std::string CommandSettings(std::string_view commandText, const clsInstrument& record) {
  const WriteGroup* group = GroupOf(Field(commandText, 0));
  if (group == nullptr) return {};
  std::vector<std::string> names;
  for (const int entry : EntriesOf(*group, Field(commandText, 2))) {
    AddCarried(*group, entry, record, names);
  }
  return Listed(names);
}

std::string DescribeCommand(std::string_view commandText, const clsInstrument& record) {
  const std::string head = LineHead(commandText);
  const std::string settings = CommandSettings(commandText, record);
  return settings.empty() ? head : settings + " (" + head + ")";
}

std::string StopReason(const uclTzif& link) {
  const std::string resends = "(" + std::to_string(link.Retry()) + " resends)";
  if (link.Status() == LinkStatus::Cancelled) return "cancelled";
  if (!link.PortOpen()) return "the line to the instrument was lost";
  if (link.Status() == LinkStatus::Complete) {
    return "the instrument answered but did not report it done";
  }
  if (link.ReplyReceived()) return "the replies were refused " + resends;
  return "no answer within " + std::to_string(link.Timeout()) + " s " + resends;
}

std::string WhereItStopped(const uclTzif& link, const clsInstrument& record) {
  const FrameView line(link.LastLineSent());
  const std::string_view text = line.WellFormed() ? line.Text() : link.LastLineSent();
  return DescribeCommand(text, record) + ": " + StopReason(link);
}

}  // namespace kv
