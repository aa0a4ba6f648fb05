#include "sim/sim_device.h"

#include <utility>

#include "protocol/field_parse.h"
#include "protocol/framing.h"
#include "sim/sim_fields.h"
#include "sim/sim_handlers.h"

namespace kv::sim {
namespace {

constexpr std::string_view kModelName = "KORVIN";
constexpr std::size_t kHeadLength = 5;  // "XX,A,"
constexpr char kCalibrated = '0';
constexpr char kNotFitted = '2';

}  // namespace

PendingOperation::Poll PendingOperation::Next() {
  if (!running_) return Poll::Idle;
  if (pollsLeft_ > 0) {
    --pollsLeft_;
    return Poll::Busy;
  }
  running_ = false;
  return Poll::Finished;
}

void SettleDerivedSettings(clsInstrument& s) {
  [[maybe_unused]] bool stored = s.SetRatio(0, static_cast<Single>(s.FL_(0)));
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    stored = s.SetGasEnabled(channel, s.UG_(channel) != 0);
  }
  s.SetStationID(s.XS_(s.XV_(0)));
  s.SetUserID(s.XZ_(s.XV_(1)));
  SetRatioChannels(s);
  s.ClearChangeFlags();
}

SimDevice::SimDevice(const Clock& clock, clsInstrument settings, SimDeviceOptions options)
    : clock_(clock), settings_(std::move(settings)), options_(options) {
  SettleDerived();
  factory_ = settings_;
}

void SimDevice::Replace(clsInstrument settings) {
  settings_ = std::move(settings);
  SettleDerived();
  factory_ = settings_;
  clockOffsetSeconds_ = 0;
  pumpOn_ = true;
  dataLogRecords_ = kFullDataLog;
  powerOffRequests_ = 0;
  live_ = LiveReadings{};
  zero_ = span_ = defaults_ = busy_ = PendingOperation{};
  busyJob_ = BusyJob::None;
  zeroResult_.clear();
  spanResult_.clear();
}

bool SimDevice::RefusesWrite(std::string_view code, char access) const {
  return access == 'W' && !options_.refuseWriteCode.empty() && code == options_.refuseWriteCode &&
         Trim(settings_.SerialNo()) == options_.refuseWriteSerial;
}

void SimDevice::SettleDerived() { SettleDerivedSettings(settings_); }

DateTime SimDevice::InstrumentNow() const { return AddSeconds(clock_.Now(), clockOffsetSeconds_); }

bool SimDevice::SetInstrumentClock(const DateTime& value) {
  if (!IsValidDateTime(value)) return false;
  clockOffsetSeconds_ = SecondsBetween(clock_.Now(), value);
  return true;
}

std::string SimDevice::Answer(std::string_view commandText) {
  if (commandText.size() < kHeadLength - 1 || commandText[2] != ',') return {};
  const std::string_view code = commandText.substr(0, 2);
  const char access = commandText[3];
  const std::string_view data =
      commandText.size() > kHeadLength ? commandText.substr(kHeadLength) : std::string_view{};
  if (code == "RC") return ReplyText("RC", access, {std::string(kModelName)});
  if (RefusesWrite(code, access)) return ControlReply(code, access, kNAK);
  if (access == 'R') {
    if (const ReadBuilder build = FindReadBuilder(code)) {
      if (auto reply = build(*this, data)) return std::move(*reply);
    }
  } else if (const CommandHandler handle = FindCommandHandler(code, access)) {
    return handle(*this, commandText, data);
  }
  return ControlReply(code, access, kNAK);
}

void SimDevice::StartBusyJob(BusyJob job) {
  busyJob_ = job;
  busy_.Start(options_.busyPolls);
}

bool SimDevice::PollBusy() {
  switch (busy_.Next()) {
    case PendingOperation::Poll::Busy:
      return true;
    case PendingOperation::Poll::Finished:
      if (busyJob_ == BusyJob::DataClear) dataLogRecords_ = 0;
      if (busyJob_ == BusyJob::FactoryRestore) RestoreFactorySettings();
      busyJob_ = BusyJob::None;
      return false;
    case PendingOperation::Poll::Idle:
      return false;
  }
  return false;
}

std::string SimDevice::ChannelResults() const {
  std::string digits;
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    digits += settings_.GasType(channel) == kGasTypeNone ? kNotFitted : kCalibrated;
  }
  return digits;
}

void SimDevice::FinishZeroCalibration() {
  live_.Zero();
  zeroResult_ = ChannelResults();
}

void SimDevice::FinishSpanCalibration() {
  const Date now = ToSerialDate(InstrumentNow());
  const LiveReadings::Values& before = live_.Last();
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    if (settings_.GasType(channel) == kGasTypeNone) continue;
    [[maybe_unused]] bool stored = settings_.SetCalibDate(channel, now);
    stored = settings_.SetCalibBefore(channel, before[static_cast<std::size_t>(channel)]);
    stored = settings_.SetCalibAfter(channel, settings_.AutoCalib(channel));
  }
  spanResult_ = ChannelResults();
}

void SimDevice::RestoreFactorySettings() {
  const clsInstrument current = settings_;
  settings_ = factory_;
  settings_.SetSerialNo(current.SerialNo());
  settings_.SetDummySerial(current.DummySerial());
  SettleDerived();
}

}  // namespace kv::sim
