// The destructive commands on a real terminal (a pseudo-terminal for
// kvmaint's stdin, stdout and stderr): they see it, ask, and a refusal sends
// nothing. The answers that go on, and these, are also tested in process
// (tests/kvmaint/confirm_terminal_test.cpp), where a yes costs no real time.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "e2e_support.h"
#include "support/answer_cases.h"

namespace kv::e2e {
namespace {

struct TerminalRun {
  std::string shown;  // everything the terminal showed
  int exitCode = -1;  // -1: killed at the deadline or by a signal
};

// Reads the pseudo-terminal until `until` has been shown, it closes or the
// deadline passes.
void ReadShown(int master, TerminalRun& run, const std::string& until,
               std::chrono::steady_clock::time_point deadline) {
  while (until.empty() || run.shown.find(until) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    pollfd ready{master, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return;
    char buffer[512];
    const ssize_t got = ::read(master, buffer, sizeof buffer);
    if (got <= 0) return;  // EIO once the program has closed its side
    run.shown.append(buffer, static_cast<std::size_t>(got));
  }
}

// kvmaint with stdin, stdout and stderr on a fresh pseudo-terminal, typing
// `answer` once the question is shown.
TerminalRun KvmaintOnATerminal(const std::vector<std::string>& args, const std::string& answer) {
  TerminalRun run;
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return run;
  const std::string slave = ::ptsname(master);
  std::vector<std::string> argv{KV_KVMAINT_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setsid();
    const int terminal = ::open(slave.c_str(), O_RDWR);
    if (terminal < 0) ::_exit(127);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) ::dup2(terminal, fd);
    ::execv(pointers[0], pointers.data());
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  ReadShown(master, run, "[y/N] ", deadline);
  const ssize_t typed = ::write(master, answer.data(), answer.size());
  if (typed == static_cast<ssize_t>(answer.size())) ReadShown(master, run, "", deadline);
  // The terminal closes a moment before the program has exited.
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(10ms);
  }
  ::close(master);
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

using testsupport::AnswerCase;

class TerminalConfirmTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(TerminalConfirmTest, AsksAndGoesOnOnlyOnYes) {
  const AnswerCase& c = GetParam();
  TempDir dir;
  const std::string trace = dir.File("trace.txt");
  Simulator sim({"--busy-polls", "0", "--trace", trace});
  ASSERT_FALSE(sim.Device().empty());
  std::vector<std::string> args = c.args;
  args.insert(args.end(), {"--port", sim.Device()});
  const TerminalRun run = KvmaintOnATerminal(args, c.answer);
  ASSERT_EQ(sim.Stop(), 0);
  testsupport::ExpectAnswered(c, run.exitCode, run.shown, ReadBytes(trace));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TerminalConfirmTest,
    ::testing::Values(
        AnswerCase{"FactoryResetNo", {"factory-reset"}, "n\n", 2, "UP,W,", false},
        AnswerCase{"FactoryResetJustEnter", {"factory-reset"}, "\n", 2, "UP,W,", false},
        AnswerCase{"LoadDefaultsSomethingElse", {"load-defaults", "--kind", "3"}, "maybe\n", 2,
                   "UX,W,3", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::e2e
