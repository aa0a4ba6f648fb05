#include "cli/setting_captions.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <iterator>

#include "rules/pid_scales.h"

namespace kv::cli {
namespace {

// Lower case, blanks trimmed and each run of blanks as one space.
std::string Folded(std::string_view text) {
  std::string folded;
  bool gap = false;
  for (const char c : text) {
    if (std::isspace(static_cast<unsigned char>(c)) != 0) {
      gap = !folded.empty();
      continue;
    }
    if (gap) folded += ' ';
    gap = false;
    folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return folded;
}

struct PrintedName {
  std::string text;
  const SettingInfo* info;
  int tableIndex;
  bool usual;  // the name kvmaint prints; the others are alternatives
};

// The channels' row captions in show's grids.
constexpr std::string_view kSlotCaptions[] = {"STD1", "STD2", "STD3", "STD4", "OPT1", "OPT2", "OPT3"};

// "%s warning level" with the channel as "ch4", "channel 4" or "STD4".
std::string ChannelNumberCaption(std::string_view caption, const std::string& channel) {
  std::string text(caption);
  if (const std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, channel);
  return text;
}

void ForEachPrintedName(const clsInstrument& record, const std::function<void(const PrintedName&)>& visit) {
  for (const SettingInfo& setting : AllSettings()) {
    for (int i = 0; i < setting.count; ++i) {
      visit({SettingCaption(setting, record, i), &setting, i, true});
      if (setting.kind != IndexKind::Channel) continue;
      const std::string number = std::to_string(i + 1);
      visit({ChannelNumberCaption(setting.caption, "ch" + number), &setting, i, false});
      visit({ChannelNumberCaption(setting.caption, "channel " + number), &setting, i, false});
      if (i < static_cast<int>(std::size(kSlotCaptions))) {
        visit({ChannelNumberCaption(setting.caption, std::string(kSlotCaptions[i])), &setting, i, false});
      }
    }
  }
}

NamedSetting Named(const SettingInfo& info, int tableIndex) {
  NamedSetting named;
  named.info = &info;
  named.ref.name = info.name;
  named.tableIndex = tableIndex;
  if (info.kind == IndexKind::Scalar) return named;
  if (info.kind == IndexKind::PidRange) {
    named.ref.index = tableIndex / kPidRanges;
    named.ref.range = tableIndex % kPidRanges == 0 ? rules::kPidHighRange : rules::kPidLowRange;
  } else {
    named.ref.index = tableIndex;
  }
  return named;
}

// The name that tells a setting apart from others printed alike.
std::string DistinctName(const NamedSetting& named) {
  if (named.info->kind != IndexKind::Channel) {
    clsInstrument blank;
    return SettingCaption(*named.info, blank, named.tableIndex);
  }
  return ChannelNumberCaption(named.info->caption, "channel " + std::to_string(named.tableIndex + 1));
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::optional<NamedSetting> ResolveSettingCaption(std::string_view name, const clsInstrument& record,
                                                  std::string* ambiguity) {
  const std::string wanted = Folded(name);
  std::vector<NamedSetting> matches;
  ForEachPrintedName(record, [&](const PrintedName& printed) {
    if (Folded(printed.text) != wanted) return;
    const bool known = std::any_of(matches.begin(), matches.end(), [&](const NamedSetting& m) {
      return m.info == printed.info && m.tableIndex == printed.tableIndex;
    });
    if (!known) matches.push_back(Named(*printed.info, printed.tableIndex));
  });
  if (matches.size() == 1) return matches.front();
  if (matches.size() > 1) {
    std::string listed;
    for (const NamedSetting& match : matches) {
      listed += (listed.empty() ? "\"" : ", \"") + DistinctName(match) + "\"";
    }
    *ambiguity = "\"" + std::string(name) + "\" names more than one setting; give one of " + listed;
  }
  return std::nullopt;
}

std::vector<std::string> NearSettingCaptions(std::string_view name, const clsInstrument& record,
                                             std::size_t most) {
  const std::string wanted = Folded(name);
  // A name holding what was typed comes first, then by edit distance.
  struct Near {
    bool holds;
    std::size_t distance;
    std::string text;
  };
  const std::size_t farthest = std::max<std::size_t>(2, wanted.size() / 3);
  std::vector<Near> near;
  ForEachPrintedName(record, [&](const PrintedName& printed) {
    if (!printed.usual || wanted.empty()) return;
    const std::string folded = Folded(printed.text);
    const bool holds = wanted.size() >= 3 && folded.find(wanted) != std::string::npos;
    const std::size_t distance = EditDistance(wanted, folded);
    if (holds || distance <= farthest) near.push_back({holds, distance, printed.text});
  });
  std::stable_sort(near.begin(), near.end(), [](const Near& a, const Near& b) {
    if (a.holds != b.holds) return a.holds;
    return a.distance < b.distance;
  });
  std::vector<std::string> names;
  for (const Near& n : near) {
    if (names.size() == most) break;
    if (std::find(names.begin(), names.end(), n.text) == names.end()) names.push_back(n.text);
  }
  return names;
}

}  // namespace kv::cli
