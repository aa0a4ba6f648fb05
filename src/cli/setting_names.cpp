#include "cli/setting_names.h"

#include <charconv>
#include <vector>

#include "cli/channel_names.h"
#include "cli/setting_captions.h"
#include "rules/pid_scales.h"

namespace kv::cli {
namespace {

constexpr int kNamedChannels = 7;

const SettingInfo* FindSetting(std::string_view name) {
  for (const SettingInfo& setting : AllSettings()) {
    if (rules::EqualsIgnoringCase(setting.name, name)) return &setting;
  }
  return nullptr;
}

std::optional<int> PositiveNumber(std::string_view text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
  return value;
}

// "ch4" or a gas name ("CO") as a channel index 0..6.
std::optional<int> ChannelOf(std::string_view text, const clsInstrument& record) {
  if (text.size() > 2 && rules::EqualsIgnoringCase(text.substr(0, 2), "ch")) {
    const std::optional<int> number = PositiveNumber(text.substr(2));
    if (number && *number <= kNamedChannels) return *number - 1;
  }
  static constexpr std::string_view kFixedNames[] = {"", "OXY", "H2S", "CO"};
  for (int channel = 0; channel < kNamedChannels; ++channel) {
    const std::string name =
        channel >= 1 && channel <= 3 ? std::string(kFixedNames[channel]) : ChannelName(record, channel);
    if (rules::EqualsIgnoringCase(rules::Trim(name), text)) return channel;
  }
  return std::nullopt;
}

// NAME, CHANNEL.NAME, NAME[N] and NAME[N].high|.low.
std::optional<NamedSetting> ResolveAccessorName(std::string_view name, const clsInstrument& record,
                                                std::string* error) {
  std::string_view channelText;
  std::string_view settingText = name;
  std::string_view entryText;
  std::string_view rangeText;
  if (const std::size_t open = name.find('['); open != std::string_view::npos) {
    const std::size_t close = name.find(']', open);
    if (close == std::string_view::npos) {
      *error = "\"" + std::string(name) + "\": a [ without ]";
      return std::nullopt;
    }
    settingText = name.substr(0, open);
    entryText = name.substr(open + 1, close - open - 1);
    const std::string_view after = name.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != '.') {
        *error = "\"" + std::string(name) + "\": only .high or .low may follow ]";
        return std::nullopt;
      }
      rangeText = after.substr(1);
    }
  } else if (const std::size_t dot = name.find('.'); dot != std::string_view::npos) {
    channelText = name.substr(0, dot);
    settingText = name.substr(dot + 1);
  }

  NamedSetting found;
  found.info = FindSetting(settingText);
  if (found.info == nullptr) {
    *error = "no setting is called \"" + std::string(settingText) + "\"";
    return std::nullopt;
  }
  found.ref.name = found.info->name;
  const IndexKind kind = found.info->kind;
  const std::string what = "\"" + std::string(name) + "\": ";
  if (kind == IndexKind::Scalar) {
    if (!channelText.empty() || !entryText.empty()) {
      *error = what + std::string(found.info->name) + " is a single setting; give it without channel or [N]";
      return std::nullopt;
    }
    return found;
  }
  if (kind == IndexKind::Channel) {
    const std::optional<int> channel = channelText.empty() ? std::nullopt : ChannelOf(channelText, record);
    if (!channel) {
      *error = what + std::string(found.info->name) +
               " is a channel setting; put ch1..ch7 or the channel's gas name before it (CO." +
               std::string(found.info->name) + ")";
      return std::nullopt;
    }
    found.ref.index = found.tableIndex = *channel;
    return found;
  }
  const std::optional<int> entry = PositiveNumber(entryText);
  const int entries = kind == IndexKind::PidRange ? found.info->count / 2 : found.info->count;
  if (!entry || *entry > entries) {
    *error = what + std::string(found.info->name) + " is a table; give its entry as [1] to [" +
             std::to_string(entries) + "]";
    return std::nullopt;
  }
  found.ref.index = found.tableIndex = *entry - 1;
  if (kind == IndexKind::PidRange) {
    if (rangeText != "high" && rangeText != "low") {
      *error = what + "give the range after the entry: [N].high or [N].low";
      return std::nullopt;
    }
    found.ref.range = rangeText == "high" ? rules::kPidHighRange : rules::kPidLowRange;
    found.tableIndex = found.ref.index * 2 + found.ref.range;
  } else if (!rangeText.empty()) {
    *error = what + "only PID fields take .high or .low";
    return std::nullopt;
  }
  return found;
}

constexpr std::size_t kNearNamesShown = 5;

}  // namespace

std::optional<NamedSetting> ResolveSettingName(std::string_view name, const clsInstrument& record,
                                               std::string* error) {
  name = rules::Trim(name);
  std::string accessorError;
  if (std::optional<NamedSetting> found = ResolveAccessorName(name, record, &accessorError)) return found;
  std::string ambiguity;
  if (std::optional<NamedSetting> found = ResolveSettingCaption(name, record, &ambiguity)) return found;
  if (!ambiguity.empty()) {
    *error = ambiguity;
    return std::nullopt;
  }
  *error = accessorError;
  const std::vector<std::string> near = NearSettingCaptions(name, record, kNearNamesShown);
  for (std::size_t i = 0; i < near.size(); ++i) {
    *error += (i == 0 ? "; near names: \"" : ", \"") + near[i] + "\"";
  }
  return std::nullopt;
}

std::string SettingNameHelp() {
  return "Each edit is NAME=VALUE. NAME is a setting's name as show, diff and import-csv\n"
         "print it (\"LCD Contrast(0-15)\", \"CO warning level\", \"User 7\",\n"
         "\"PID 2 Low Range 1st\"; a channel also as \"ch4 warning level\"), ignoring\n"
         "case and extra blanks, or the record's setting name:\n"
         "  NAME               a single setting: LcdBackLight=30, AlarmMode=Latching\n"
         "  CHANNEL.NAME       a channel setting; CHANNEL is ch1..ch7 or the channel's\n"
         "                     gas name: CO.Warning=35 and ch4.Warning=35 are the same\n"
         "  NAME[N]            entry N (from 1) of a table: XS_[3]=NORTH GATE\n"
         "  NAME[N].high|.low  a PID field in one range: PIDWarn[2].low=50\n"
         "Every value is judged by the window's rule for that cell, against the file\n"
         "as edited so far. One refused value: its reason on stderr, exit status 2 and\n"
         "the file left as it was. Otherwise the file is replaced at once, complete.\n"
         "An unknown or ambiguous name is refused the same way, with the names near it.";
}

}  // namespace kv::cli
