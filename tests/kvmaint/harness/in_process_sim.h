#pragma once
// The simulated instrument in the test's own process, made from kvsim's
// command line (the same faults, states, lines and memory images), on a
// virtual line: time moves only when a kvmaint session waits (see
// virtual_session.h), so a 2 s completion poll or a 5 s power-on delay costs
// nothing. A kvmaint run finds it by its device name.
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "sim/sim_setup.h"
#include "sim/sim_transport.h"

namespace kv::inproc {

class Simulator {
 public:
  explicit Simulator(const std::vector<std::string>& options = {});
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // The name kvmaint's --port takes ("sim:1"); empty when kvsim would have
  // refused the options (then Error() says why).
  const std::string& Device() const { return device_; }
  const std::string& Error() const { return error_; }
  // As kvsim on SIGTERM: writes --state-out and --line-out; 0, or 1 when
  // one could not be written.
  int Stop();
  // As kvsim on SIGUSR1: a powered-off instrument is switched on.
  void Signal(int signal);
  // The instrument goes away, as when kvsim is stopped: the line closes.
  void Unplug() { line_->HangUp(); }
  // Time passing between two runs, as it does for kvsim meanwhile.
  void LetTimePass(long long ms) { AdvanceTo(nowMs_ + ms); }

  // The simulator kvmaint's --port names; null for none.
  static Simulator* Find(const std::string& device);

  sim::SimTransport& Line() { return *line_; }
  sim::SimInstrument& Instrument() { return setup_->Instrument(); }
  // The instrument's and the session's clock: local time, started at the
  // machine's, moved only by AdvanceTo.
  const Clock& Time() const { return clock_; }
  long long NowMs() const { return nowMs_; }
  // The next moment something happens by itself: a reply falls due, or the
  // instrument switches on again (--power-on-after).
  std::optional<long long> NextEventMs() const;
  // Moves time forward to `ms` and switches the instrument on when its time
  // has come.
  void AdvanceTo(long long ms);
  // Hands the link the replies due by now; false when none was.
  bool DeliverDue();

 private:
  void NoteSwitchedOff();

  ManualClock clock_{SystemClock().Now()};
  long long nowMs_ = 0;
  std::unique_ptr<sim::SimSetup> setup_;
  std::unique_ptr<sim::SimTransport> line_;
  std::ofstream trace_;
  std::string device_;
  std::string error_;
  std::optional<long long> offSinceMs_;
};

}  // namespace kv::inproc
