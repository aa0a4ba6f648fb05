#include "app/last_calibration.h"

#include <optional>
#include <vector>

#include "common/datetime.h"
#include "history/history_event.h"
#include "report/calibration_events.h"

namespace kv {

std::map<std::string, std::string> LastCalibrations(history::Store& store, std::string* error) {
  std::map<std::string, std::vector<history::Event>> bySerial;
  for (history::Event& event : store.CalibrationEvents(error)) {
    if (!event.serial.empty()) bySerial[event.serial].push_back(std::move(event));
  }
  std::map<std::string, std::string> last;
  for (const auto& [serial, events] : bySerial) {
    const auto channels = report::CalibrationsInHistory(events);
    if (!channels) continue;
    std::optional<DateTime> latest;
    for (const fleet::ChannelCalibration& channel : *channels) {
      if (!channel.calibrated) continue;
      if (!latest || SecondsBetween(*latest, *channel.calibrated) > 0) latest = channel.calibrated;
    }
    if (latest) last[serial] = history::EventTime(*latest);
  }
  return last;
}

}  // namespace kv
