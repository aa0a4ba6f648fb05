#include "rules/setting_names.h"

#include <array>
#include <utility>

#include "common/messages.h"
#include "rules/other_setting_rules.h"

namespace kv::rules {
namespace {

// Channel settings by the column captions of the gas and alarm-level grids.
constexpr std::array<std::pair<std::string_view, std::string_view>, 14> kChannelCaptions = {{
    {"GasName", "Name"},
    {"GasLongName", "Long Name"},
    {"Warning", "Warning"},
    {"Alarm", "Alarm"},
    {"Stel", "STEL"},
    {"Twa", "TWA"},
    {"AutoCalib", "Span"},
    {"AltRng", "Alternate Ranges"},
    {"Zero", "Zero Follower"},
    {"ZeroForce", "Zero Suppress"},
    {"LA_warn", "Warning"},
    {"LA_alarm", "Alarm"},
    {"LO_name", "Other Name"},
    {"LO_longname", "Other Long Name"},
}};

constexpr std::array<std::pair<std::string_view, std::string_view>, 2> kListCaptions = {{
    {"XS_", "Station List"},
    {"XZ_", "User List"},
}};

template <std::size_t N>
std::string_view Lookup(const std::array<std::pair<std::string_view, std::string_view>, N>& table,
                        std::string_view setting) {
  for (const auto& [name, caption] : table) {
    if (name == setting) return caption;
  }
  return {};
}

std::string ChannelName(int channel, const clsInstrument& record) {
  const std::string gas = channel < kSensorChannels ? record.GasName(channel) : std::string();
  return gas.empty() ? "Ch" + std::to_string(channel + 1) : gas;
}

}  // namespace

std::string SettingDisplayName(std::string_view setting, int index, const clsInstrument& record) {
  if (const OtherSettingRule* row = OtherSettingBySetting(setting)) {
    return FormatMessage(row->captionId);
  }
  if (const std::string_view caption = Lookup(kChannelCaptions, setting); !caption.empty()) {
    return std::string(caption) + " (" + ChannelName(index, record) + ")";
  }
  if (const std::string_view caption = Lookup(kListCaptions, setting); !caption.empty()) {
    return std::string(caption) + " " + std::to_string(index + 1);
  }
  std::string name(setting);
  if (index > 0) name += " " + std::to_string(index);
  return name;
}

}  // namespace kv::rules
