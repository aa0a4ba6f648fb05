// kvsim: the simulated KORVIN instrument on a pseudo-terminal.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "sim/pty_port.h"
#include "sim/pty_server.h"
#include "sim/sim_instrument.h"
#include "sim/sim_options.h"
#include "sim/sim_setup.h"

namespace {

// SIGTERM and SIGINT write a byte here; the serve loop polls the other end.
int g_stopPipe[2] = {-1, -1};

// SIGUSR1 switches a powered-off instrument on again.
volatile std::sig_atomic_t g_powerOnRequested = 0;

extern "C" void OnPowerOnSignal(int) { g_powerOnRequested = 1; }

extern "C" void OnStopSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(g_stopPipe[1], &byte, 1);
}

bool InstallSignals(std::string* error) {
  if (::pipe(g_stopPipe) != 0) {
    *error = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  for (const int fd : g_stopPipe) {
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigemptyset(&stop.sa_mask);
  struct sigaction powerOn {};
  powerOn.sa_handler = OnPowerOnSignal;
  sigemptyset(&powerOn.sa_mask);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  // The peer closing the port is no reason to stop: SIGHUP and SIGPIPE are ignored.
  return ::sigaction(SIGTERM, &stop, nullptr) == 0 && ::sigaction(SIGINT, &stop, nullptr) == 0 &&
         ::sigaction(SIGUSR1, &powerOn, nullptr) == 0 &&
         ::sigaction(SIGHUP, &ignore, nullptr) == 0 && ::sigaction(SIGPIPE, &ignore, nullptr) == 0;
}

// Replaces an earlier symlink at `link`; refuses to replace anything else.
bool MakeLink(const std::string& target, const std::string& link, std::string* error) {
  struct stat info {};
  if (::lstat(link.c_str(), &info) == 0) {
    if (!S_ISLNK(info.st_mode)) {
      *error = link + " exists and is not a symbolic link";
      return false;
    }
    ::unlink(link.c_str());
  }
  if (::symlink(target.c_str(), link.c_str()) != 0) {
    *error = "symlink " + link + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

// Serves until stopped. While the instrument is off the loop wakes every
// 100 ms to see whether it is to be switched on (SIGUSR1 or the delay);
// `switchOn` does it and says whether an instrument came on.
void Serve(kv::sim::PtyServer& server, kv::sim::SimInstrument& instrument, int powerOnAfterSeconds,
           bool verbose, const std::function<bool()>& switchOn) {
  using SteadyClock = std::chrono::steady_clock;
  constexpr int kPowerCheckMs = 100;
  bool wasOff = false;
  SteadyClock::time_point offSince{};
  // While off: wake for SIGUSR1 every check, and at the very moment the
  // delay is over (a line's pace is measured against it).
  const auto offWait = [&] {
    if (!instrument.PoweredOff()) return -1;
    if (powerOnAfterSeconds <= 0 || !wasOff) return kPowerCheckMs;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(
        offSince + std::chrono::seconds(powerOnAfterSeconds) - SteadyClock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, kPowerCheckMs));
  };
  while (server.Step(g_stopPipe[0], offWait())) {
    if (!instrument.PoweredOff()) {
      g_powerOnRequested = 0;  // switching on what is on does nothing
      wasOff = false;
      continue;
    }
    if (!wasOff) {
      wasOff = true;
      offSince = SteadyClock::now();
      if (verbose) std::cerr << "kvsim: powered off\n";
    }
    const bool delayOver = powerOnAfterSeconds > 0 &&
                           SteadyClock::now() - offSince >= std::chrono::seconds(powerOnAfterSeconds);
    if (g_powerOnRequested != 0 || delayOver) {
      g_powerOnRequested = 0;
      if (!switchOn()) {
        offSince = SteadyClock::now();
        continue;
      }
      wasOff = false;
      if (verbose) std::cerr << "kvsim: powered on\n";
    }
  }
}

int Fail(const std::string& message) {
  std::cerr << "kvsim: " << message << '\n';
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kv;
  using namespace kv::sim;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const ParsedOptions parsed = ParseSimOptions(args);
  if (!parsed.ok) {
    std::cerr << "kvsim: " << parsed.error << "\n\n" << SimUsage();
    return 2;
  }
  const SimOptions& options = parsed.options;
  if (options.help) {
    std::cout << SimUsage();
    return 0;
  }

  std::string error;
  if (!InstallSignals(&error)) return Fail(error);
  SystemClock clock;
  const std::unique_ptr<SimSetup> setup = SimSetup::Make(options, clock, &error);
  if (!setup) return Fail(error);
  SimInstrument& instrument = setup->Instrument();
  PtyPort port;
  if (!port.Open(&error)) return Fail(error);
  if (!options.linkPath.empty() && !MakeLink(port.SlavePath(), options.linkPath, &error)) {
    return Fail(error);
  }
  std::cout << port.SlavePath() << std::endl;

  std::ofstream traceFile;
  std::ostream* trace = options.verbose ? &std::cerr : nullptr;
  if (!options.tracePath.empty()) {
    traceFile.open(options.tracePath, std::ios::trunc);
    if (!traceFile) return Fail("cannot write the trace " + options.tracePath);
    trace = &traceFile;
  }
  PtyServer server(port, instrument, {options.baud, trace});
  const auto switchOn = [&setup, verbose = options.verbose] {
    const bool on = setup->SwitchOn();
    if (!on && verbose) std::cerr << "kvsim: the line has ended\n";
    return on;
  };
  Serve(server, instrument, options.powerOnAfterSeconds, options.verbose, switchOn);

  int status = 0;
  if (!setup->SaveState(&error)) status = Fail(error);
  if (!setup->SaveLine(&error)) status = Fail(error);
  if (!options.linkPath.empty()) ::unlink(options.linkPath.c_str());
  if (options.verbose || options.summary) {
    std::cerr << "kvsim: stopped after " << instrument.RepliesSoFar() << " replies";
    if (options.summary) {
      const double seconds = std::chrono::duration<double>(server.LineTimeSoFar()).count();
      std::cerr << ", " << seconds << " s on the line";
    }
    std::cerr << '\n';
  }
  return status;
}
