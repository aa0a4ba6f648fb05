#include "sim/sim_fields.h"

#include <cstdio>

#include "protocol/codecs.h"

namespace kv::sim {
namespace {

constexpr std::string_view kZeroCount = "0000";
constexpr double kPercent = 100.0;

// The whole count of `value` at `places` decimal places, if it is one.
std::optional<long> CountOf(Single value, int places) {
  if (places < 0 || places > kMaxPlaces) return std::nullopt;
  double scaled = value;
  for (int i = 0; i < places; ++i) scaled *= 10.0;
  return RoundToLong(scaled);
}

std::string RawCountField(double raw) {
  const auto count = RoundToLong(raw);
  if (!count || *count < 0) return std::string(kZeroCount);
  return Hex4(ValueToRaw(static_cast<double>(*count)));
}

}  // namespace

std::string ReplyText(std::string_view code, char access, const std::vector<std::string>& fields) {
  std::string text(code);
  text += ',';
  text += access;
  text += ',';
  for (const std::string& field : fields) {
    text += field;
    text += ',';
  }
  return text;
}

std::string ControlReply(std::string_view code, char access, char control) {
  std::string text(code);
  text += ',';
  text += access;
  text += ',';
  text += control;
  return text;
}

std::string ValueField(Single value, int places) { return EncodeValue(value, places); }

std::string CatalyticRawField(const clsInstrument& r, int channel, Single value) {
  if (value < 0.0F) return EncodeValue(value, 0);  // the codes keep their wire form
  const double fullScale = r.GasFullScale(channel);
  const double reference = r.FL_(0);
  const auto count = CountOf(value, r.GasPoint(channel));
  if (!(fullScale > 0.0) || !(reference > 0.0) || !count) return std::string(kZeroCount);
  return RawCountField(static_cast<double>(*count) * reference / fullScale);
}

std::string CatalyticHistoryField(const clsInstrument& r, int channel, Single value) {
  if (value < 0.0F) return EncodeValue(value, 0);
  const double reference = r.FL_(0);
  if (!(reference > 0.0)) return std::string(kZeroCount);
  const double raw = static_cast<double>(value) * reference / kPercent;
  return EncodeValue(static_cast<float>(raw), r.GasPoint(channel));
}

std::string ChannelValueField(const clsInstrument& r, int channel, Single value) {
  if (r.GasType(channel) == kGasTypeCatalytic) return CatalyticRawField(r, channel, value);
  return ValueField(value, r.GasPoint(channel));
}

std::string UnitField(std::string_view unit) {
  for (int index = 0; index < 4; ++index) {
    if (UnitText(index) == unit) return Dec(index);
  }
  return "F";
}

std::string DateField(const DateTime& value) {
  char text[80];
  std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%02d", value.year % 100, value.month,
                value.day, value.hour, value.minute, value.second);
  return text;
}

std::string Dec(long value) { return std::to_string(value); }

}  // namespace kv::sim
