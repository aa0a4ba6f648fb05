#pragma once
// A kvmaint session on the in-process simulator in virtual time: instead of
// waiting on an event loop, the wait plays the next thing that happens (a
// reply, the link's tick, the instrument switching on) at once.
#include <functional>
#include <optional>

#include "cli/session_services.h"
#include "kvmaint/harness/in_process_sim.h"
#include "kvmaint/harness/virtual_time.h"

namespace kv::inproc {

// What one kvmaint run allows its sessions.
struct RunLimits {
  // Ctrl-C this long (virtual) after the session started; none when unset.
  std::optional<long long> interruptAfterMs;
  // A run that waits longer than this (virtual) is taken for hung and
  // interrupted, as a child process past its deadline is killed.
  long long patienceMs = 15 * 60 * 1000;
  bool timedOut = false;  // set when the patience ran out
};

class VirtualSession final : public cli::SessionServices {
 public:
  // `sim` null: the port names no simulator, and opening it fails.
  VirtualSession(Simulator* sim, RunLimits& limits);

  Transport& Port() override;
  const Clock& Time() const override;
  void SetPortName(const QString&) override {}
  void StartTicks(uclTzif& link) override;
  void StopTicks() override;
  void RunUntil(const std::function<bool()>& finished) override;
  void RunAfterInterrupt(const std::function<bool()>& finished) override;
  void Wake() override {}
  void SetInterruptHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
  bool Interrupted() const override { return interrupted_; }

 private:
  void Interrupt();

  Simulator* sim_;
  RunLimits& limits_;
  std::optional<VirtualTime> time_;
  long long startMs_ = 0;
  std::function<void()> handler_;
  bool interrupted_ = false;
};

}  // namespace kv::inproc
