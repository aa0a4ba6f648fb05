// The detail a calibration-history event keeps: the latest calibration of
// every channel as JSON, read back by the fleet pages and the certificate.
#include <string>

#include "ops/service_operations.h"
#include "protocol/format_gas_value.h"
#include "rules/edit_check.h"
#include "rules/json_text.h"
#include "rules/setting_names.h"
#include "rules/settings_view.h"

namespace kv::ops {
namespace {

// A reading as the grids show levels: the channel's places and unit, or a code ("-----").
std::string LevelText(float value, int places, const std::string& unit) {
  return ShownText(ViewCell{{}, {}, {}, FormatGasValue(value, places), unit});
}

std::string ChannelJson(const clsInstrument& record, int channel) {
  using rules::JsonString;
  using rules::JsonValue;
  const int places = record.GasPoint(channel);
  const std::string unit(rules::Trim(record.GasUnit(channel)));
  const std::string date = rules::CalibrationDateText(record.CalibDate(channel));
  const float before = record.CalibBefore(channel);
  const float after = record.CalibAfter(channel);
  return "  {\"channel\": " + std::to_string(channel + 1) + ", \"gas\": " + JsonString(ChannelLabel(record, channel)) +
         ", \"date\": " + (date == "never" ? std::string("null") : JsonString(date)) +
         ", \"before\": " + JsonValue(before) + ", \"after\": " + JsonValue(after) +
         ", \"unit\": " + JsonString(unit) + ", \"before_text\": " + JsonString(LevelText(before, places, unit)) +
         ", \"after_text\": " + JsonString(LevelText(after, places, unit)) +
         ", \"fitted\": " + (record.GasType(channel) != kGasTypeNone ? "true" : "false") + "}";
}

}  // namespace

std::string CalibrationHistoryDetail(const clsInstrument& record) {
  std::string out = "{\"channels\": [\n";
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    out += (channel == 0 ? "" : ",\n") + ChannelJson(record, channel);
  }
  return out + "\n]}\n";
}

}  // namespace kv::ops
