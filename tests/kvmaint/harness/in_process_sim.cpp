#include "kvmaint/harness/in_process_sim.h"

#include <csignal>
#include <map>
#include <string_view>

#include "sim/sim_options.h"

namespace kv::inproc {
namespace {

std::map<std::string, Simulator*>& Running() {
  static std::map<std::string, Simulator*> simulators;
  return simulators;
}

}  // namespace

Simulator::Simulator(const std::vector<std::string>& options) {
  const std::vector<std::string_view> args(options.begin(), options.end());
  const sim::ParsedOptions parsed = sim::ParseSimOptions(args);
  if (!parsed.ok) {
    error_ = parsed.error;
    return;
  }
  setup_ = sim::SimSetup::Make(parsed.options, clock_, &error_);
  if (!setup_) return;
  line_ = std::make_unique<sim::SimTransport>(setup_->Instrument());
  line_->SetVirtualLine(&nowMs_, parsed.options.baud);
  if (!parsed.options.tracePath.empty()) {
    trace_.open(parsed.options.tracePath, std::ios::trunc);
    if (!trace_) {
      error_ = "cannot write the trace " + parsed.options.tracePath;
      return;
    }
    line_->SetTrace(&trace_);
  }
  static int made = 0;
  device_ = "sim:" + std::to_string(++made);
  Running()[device_] = this;
}

Simulator::~Simulator() {
  if (!device_.empty()) Running().erase(device_);
}

Simulator* Simulator::Find(const std::string& device) {
  const auto found = Running().find(device);
  return found == Running().end() ? nullptr : found->second;
}

int Simulator::Stop() {
  if (!setup_) return 1;
  std::string error;
  int status = 0;
  if (!setup_->SaveState(&error)) status = 1;
  if (!setup_->SaveLine(&error)) status = 1;
  trace_.flush();
  return status;
}

void Simulator::Signal(int signal) {
  if (signal != SIGUSR1 || !setup_ || !Instrument().PoweredOff()) return;
  if (setup_->SwitchOn()) offSinceMs_.reset();
}

void Simulator::NoteSwitchedOff() {
  if (!Instrument().PoweredOff()) {
    offSinceMs_.reset();
  } else if (!offSinceMs_) {
    offSinceMs_ = nowMs_;
  }
}

std::optional<long long> Simulator::NextEventMs() const {
  std::optional<long long> next = line_->NextDueMs();
  const int onAfter = setup_->Options().powerOnAfterSeconds;
  if (offSinceMs_ && onAfter > 0) {
    const long long on = *offSinceMs_ + onAfter * 1000LL;
    if (!next || on < *next) next = on;
  }
  return next;
}

void Simulator::AdvanceTo(long long ms) {
  if (ms > nowMs_) {
    clock_.AdvanceMilliseconds(ms - nowMs_);
    nowMs_ = ms;
  }
  NoteSwitchedOff();
  const int onAfter = setup_->Options().powerOnAfterSeconds;
  if (offSinceMs_ && onAfter > 0 && nowMs_ >= *offSinceMs_ + onAfter * 1000LL) {
    // kvsim tries again a delay later when the line has ended.
    offSinceMs_ = setup_->SwitchOn() ? std::nullopt : std::optional<long long>(nowMs_);
  }
}

bool Simulator::DeliverDue() {
  const bool delivered = line_->DeliverDue();
  NoteSwitchedOff();
  return delivered;
}

}  // namespace kv::inproc
