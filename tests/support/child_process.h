#pragma once
// A program run as a child process with its stdout and stderr on pipes. Every
// wait has a deadline: a child that outlives it is killed, so a test never
// hangs, and the destructor kills whatever still runs.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace kv::testsupport {

using namespace std::chrono_literals;

// The hard limit on any one child.
inline constexpr std::chrono::milliseconds kChildLimit = 60s;

struct ProgramResult {
  int exitCode = -1;      // -1: killed by a signal or never started
  bool timedOut = false;  // killed at the deadline
  std::string out;
  std::string err;
};

class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }

  // The next line of stdout without its LF; nullopt at end of output or
  // once `limit` has passed.
  std::optional<std::string> ReadLine(std::chrono::milliseconds limit);
  void Signal(int signal) const;
  // Collects the rest of both outputs and the exit status, killing the child
  // when it is still running after `limit`.
  ProgramResult Finish(std::chrono::milliseconds limit = kChildLimit);

 private:
  // Reads what is there; false once both pipes are at their end.
  bool Pump(int timeoutMs);
  void Reap(bool block);

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  ProgramResult result_;
  bool reaped_ = false;
};

// Runs a program to its end (or the limit).
ProgramResult RunProgram(const std::vector<std::string>& argv,
                         std::chrono::milliseconds limit = kChildLimit);

}  // namespace kv::testsupport
