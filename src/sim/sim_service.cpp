// Control, completion and clock commands: calibrations, default and factory
// settings, the data-logger erase, the pump, power off and the clock.
#include <array>

#include "protocol/field_parse.h"
#include "protocol/framing.h"
#include "sim/sim_fields.h"
#include "sim/sim_handlers.h"

namespace kv::sim {
namespace {

constexpr std::size_t kClockDigits = 12;
constexpr std::string_view kDefaultsLoaded = "0";

std::string Accept(std::string_view commandText) {
  return ControlReply(commandText.substr(0, 2), commandText[3], kACK);
}

std::string Refuse(std::string_view commandText) {
  return ControlReply(commandText.substr(0, 2), commandText[3], kNAK);
}

std::string NotFinished(std::string_view code) { return ControlReply(code, 'C', kSUB); }

std::vector<std::string> DigitFields(const std::string& digits) {
  std::vector<std::string> fields;
  for (const char digit : digits) fields.emplace_back(1, digit);
  return fields;
}

std::string StartZero(SimDevice& d, std::string_view commandText, std::string_view) {
  d.ZeroCalibration().Start(d.Options().busyPolls);
  return Accept(commandText);
}

std::string StartSpan(SimDevice& d, std::string_view commandText, std::string_view) {
  d.SpanCalibration().Start(d.Options().busyPolls);
  return Accept(commandText);
}

// S1,W also starts a span calibration; its acknowledgement is the echo.
std::string StartSpanEcho(SimDevice& d, std::string_view commandText, std::string_view) {
  d.SpanCalibration().Start(d.Options().busyPolls);
  return std::string(commandText);
}

// Runs one completion poll of `operation`; the result text once finished, or
// the last one when nothing runs; SUB while busy or before any result.
template <PendingOperation& (SimDevice::*operation)(), void (SimDevice::*finish)(),
          const std::string& (SimDevice::*result)() const>
const std::string* PollCalibration(SimDevice& d) {
  const PendingOperation::Poll poll = (d.*operation)().Next();
  if (poll == PendingOperation::Poll::Busy) return nullptr;
  if (poll == PendingOperation::Poll::Finished) (d.*finish)();
  const std::string& text = (d.*result)();
  return text.empty() ? nullptr : &text;
}

std::string ZeroCompletion(SimDevice& d, std::string_view, std::string_view) {
  const auto* digits =
      PollCalibration<&SimDevice::ZeroCalibration, &SimDevice::FinishZeroCalibration,
                      &SimDevice::ZeroResult>(d);
  return digits ? ReplyText("SZ", 'C', DigitFields(*digits)) : NotFinished("SZ");
}

std::string SpanCompletion(SimDevice& d, std::string_view, std::string_view) {
  const auto* digits =
      PollCalibration<&SimDevice::SpanCalibration, &SimDevice::FinishSpanCalibration,
                      &SimDevice::SpanResult>(d);
  return digits ? ReplyText("S2", 'C', DigitFields(*digits)) : NotFinished("S2");
}

// S1,C reports the seven digits as one field.
std::string SpanCompletionOneField(SimDevice& d, std::string_view, std::string_view) {
  const auto* digits =
      PollCalibration<&SimDevice::SpanCalibration, &SimDevice::FinishSpanCalibration,
                      &SimDevice::SpanResult>(d);
  return digits ? ReplyText("S1", 'C', {*digits}) : NotFinished("S1");
}

std::string StartDefaults(SimDevice& d, std::string_view commandText, std::string_view data) {
  if (!ParseHex16(data.substr(0, data.find(',')))) return Refuse(commandText);
  d.DefaultsLoad().Start(d.Options().busyPolls);
  return Accept(commandText);
}

std::string DefaultsCompletion(SimDevice& d, std::string_view, std::string_view) {
  switch (d.DefaultsLoad().Next()) {
    case PendingOperation::Poll::Busy:
    case PendingOperation::Poll::Idle:
      return NotFinished("UX");
    case PendingOperation::Poll::Finished:
      d.RestoreFactorySettings();
      break;
  }
  return ReplyText("UX", 'C', {std::string(kDefaultsLoaded)});
}

std::string StartDataClear(SimDevice& d, std::string_view commandText, std::string_view) {
  d.StartBusyJob(BusyJob::DataClear);
  return Accept(commandText);
}

std::string StartFactoryRestore(SimDevice& d, std::string_view commandText, std::string_view) {
  d.StartBusyJob(BusyJob::FactoryRestore);
  return Accept(commandText);
}

std::string PowerOff(SimDevice& d, std::string_view commandText, std::string_view) {
  d.CountPowerOff();
  return Accept(commandText);
}

std::string AcceptOnly(SimDevice&, std::string_view commandText, std::string_view) {
  return Accept(commandText);
}

std::string Pump(SimDevice& d, std::string_view commandText, std::string_view data) {
  const std::string state = Trim(data.substr(0, data.find(',')));
  if (state != "0" && state != "1") return Refuse(commandText);
  d.SetPump(state == "1");
  return std::string(commandText);
}

// "HC,W,YYMMDDhhnnss": the clock is set and the line echoed exactly.
std::string SetClock(SimDevice& d, std::string_view commandText, std::string_view data) {
  const std::string_view digits = data.substr(0, data.find(','));
  if (digits.size() != kClockDigits) return Refuse(commandText);
  std::array<int, 6> parts{};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const auto pair = ParseDec16(digits.substr(2 * i, 2));
    if (!pair || *pair < 0) return Refuse(commandText);
    parts[i] = *pair;
  }
  const DateTime value{2000 + parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
  if (!d.SetInstrumentClock(value)) return Refuse(commandText);
  return std::string(commandText);
}

const std::array kServiceRows = {
    CommandRow{"SZ", 'W', StartZero},      CommandRow{"SZ", 'C', ZeroCompletion},
    CommandRow{"S2", 'W', StartSpan},      CommandRow{"S2", 'C', SpanCompletion},
    CommandRow{"S1", 'W', StartSpanEcho},  CommandRow{"S1", 'C', SpanCompletionOneField},
    CommandRow{"UX", 'W', StartDefaults},  CommandRow{"UX", 'C', DefaultsCompletion},
    CommandRow{"XC", 'E', StartDataClear}, CommandRow{"UP", 'W', StartFactoryRestore},
    CommandRow{"RO", 'W', PowerOff},       CommandRow{"ET", 'W', AcceptOnly},
    CommandRow{"UD", 'W', AcceptOnly},     CommandRow{"BP", 'W', Pump},
    CommandRow{"HC", 'W', SetClock},
};

}  // namespace

std::span<const CommandRow> ServiceRows() { return kServiceRows; }

CommandHandler FindCommandHandler(std::string_view code, char access) {
  for (const auto rows : {SettingWriteRows(), ServiceRows()}) {
    for (const CommandRow& row : rows) {
      if (row.code == code && row.access == access) return row.handle;
    }
  }
  return nullptr;
}

}  // namespace kv::sim
