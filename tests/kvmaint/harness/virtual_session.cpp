#include "kvmaint/harness/virtual_session.h"

#include <algorithm>

namespace kv::inproc {
namespace {

// A port that names no simulator: it cannot be opened.
class MissingDevice final : public Transport {
 public:
  void Attach(TransportEvents*) override {}
  OpenResult Open() override { return OpenResult::Failed(OpenFailure::NoSuchDevice); }
  void Close() override {}
  bool IsOpen() const override { return false; }
  bool Write(std::string_view) override { return false; }
  void SetDtr(bool) override {}
  void SetRts(bool) override {}
  void SetHandshaking(int) override {}
  int Handshaking() const override { return 0; }
  bool SetSettings(std::string_view) override { return true; }
  std::string Settings() const override { return {}; }
  std::optional<ModemLines> ReadModemLines() const override { return std::nullopt; }
};

MissingDevice g_missingDevice;
const ManualClock g_stoppedClock;

}  // namespace

VirtualSession::VirtualSession(Simulator* sim, RunLimits& limits) : sim_(sim), limits_(limits) {
  if (sim_ == nullptr) return;
  time_.emplace(*sim_);
  startMs_ = sim_->NowMs();
}

Transport& VirtualSession::Port() {
  if (sim_ == nullptr) return g_missingDevice;
  return sim_->Line();
}

const Clock& VirtualSession::Time() const {
  if (sim_ == nullptr) return g_stoppedClock;
  return sim_->Time();
}

void VirtualSession::StartTicks(uclTzif& link) {
  if (time_) time_->StartTicks(link);
}

void VirtualSession::StopTicks() {
  if (time_) time_->StopTicks();
}

void VirtualSession::Interrupt() {
  if (interrupted_) return;
  interrupted_ = true;
  if (handler_) handler_();
}

void VirtualSession::RunUntil(const std::function<bool()>& finished) {
  if (!time_) return;
  const long long patienceEnd = startMs_ + limits_.patienceMs;
  const bool interrupts = limits_.interruptAfterMs.has_value() &&
                          startMs_ + limits_.interruptAfterMs.value_or(0) <= patienceEnd;
  const long long stepLimit = interrupts ? startMs_ + limits_.interruptAfterMs.value_or(0) : patienceEnd;
  while (!finished() && !interrupted_) {
    if (time_->Step(stepLimit)) continue;
    if (interrupts) {
      sim_->AdvanceTo(stepLimit);
    } else {
      limits_.timedOut = true;
    }
    Interrupt();
  }
}

void VirtualSession::RunAfterInterrupt(const std::function<bool()>& finished) {
  if (!time_) return;
  const long long patienceEnd = startMs_ + limits_.patienceMs;
  while (!finished()) {
    if (time_->Step(patienceEnd)) continue;
    limits_.timedOut = true;
    return;
  }
}

}  // namespace kv::inproc
