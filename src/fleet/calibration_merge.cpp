#include "fleet/calibration_merge.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <string>

namespace kv::fleet {
namespace {

constexpr char kCalibratedStatus[] = "0";

bool ReadNumber(std::string_view text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<DateTime> ParseDateTime(std::string_view text) {
  // yyyy?MM?dd HH:mm:ss with '/' or '-' between the date's fields.
  if (text.size() != 19 || text[4] != text[7] || (text[4] != '/' && text[4] != '-') ||
      text[10] != ' ' || text[13] != ':' || text[16] != ':') {
    return std::nullopt;
  }
  DateTime value;
  const bool ok = ReadNumber(text.substr(0, 4), value.year) && ReadNumber(text.substr(5, 2), value.month) &&
                  ReadNumber(text.substr(8, 2), value.day) && ReadNumber(text.substr(11, 2), value.hour) &&
                  ReadNumber(text.substr(14, 2), value.minute) &&
                  ReadNumber(text.substr(17, 2), value.second);
  if (!ok || !IsValidDateTime(value)) return std::nullopt;
  return value;
}

void MergeLatest(std::vector<ChannelCalibration>& into, const std::vector<ChannelCalibration>& evidence) {
  for (const ChannelCalibration& found : evidence) {
    if (!found.calibrated) continue;
    const auto same = std::find_if(into.begin(), into.end(), [&](const ChannelCalibration& known) {
      return known.channel == found.channel;
    });
    if (same == into.end()) {
      into.push_back(found);
      continue;
    }
    if (same->calibrated && SecondsBetween(*same->calibrated, *found.calibrated) <= 0) continue;
    const bool fitted = same->fitted;
    const std::string gas = same->gas.empty() ? found.gas : same->gas;
    *same = found;
    same->fitted = fitted;
    same->gas = gas;
  }
  std::sort(into.begin(), into.end(),
            [](const ChannelCalibration& a, const ChannelCalibration& b) { return a.channel < b.channel; });
}

std::vector<ChannelStatus> ResultStatuses(std::string_view detail) {
  std::vector<ChannelStatus> statuses;
  std::istringstream entries{std::string(detail)};
  std::string entry;
  while (std::getline(entries, entry, ';')) {
    std::istringstream fields(entry);
    int number = 0;
    ChannelStatus status;
    if (!(fields >> number >> status.gas >> status.status) || number < 1 || number > kSensorChannels) continue;
    status.channel = number - 1;
    statuses.push_back(std::move(status));
  }
  return statuses;
}

bool Calibrated(const ChannelStatus& status) { return status.status == kCalibratedStatus; }

std::vector<ChannelCalibration> CalibratedChannels(std::string_view detail, const DateTime& when) {
  std::vector<ChannelCalibration> channels;
  for (const ChannelStatus& status : ResultStatuses(detail)) {
    if (!Calibrated(status)) continue;
    ChannelCalibration calibrated;
    calibrated.channel = status.channel;
    calibrated.gas = status.gas;
    calibrated.calibrated = when;
    channels.push_back(std::move(calibrated));
  }
  return channels;
}

}  // namespace kv::fleet
