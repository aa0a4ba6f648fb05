#include "support/child_process.h"

#include <array>
#include <algorithm>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kv::testsupport {
namespace {

using SteadyClock = std::chrono::steady_clock;

int MillisecondsUntil(SteadyClock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// Appends what can be read now; false at the end of the pipe (it is closed).
bool Drain(int& fd, std::string& into) {
  std::array<char, 4096> chunk{};
  for (;;) {
    const ssize_t got = ::read(fd, chunk.data(), chunk.size());
    if (got > 0) {
      into.append(chunk.data(), static_cast<std::size_t>(got));
      continue;
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return true;
    ::close(fd);
    fd = -1;
    return false;
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
  int out[2];
  int err[2];
  if (::pipe(out) != 0) return;
  if (::pipe(err) != 0) {
    ::close(out[0]);
    ::close(out[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, err[0]);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<std::string> args = argv;
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  if (::posix_spawn(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  out_ = out[0];
  err_ = err[0];
  for (const int fd : {out_, err_}) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  if (pid_ <= 0) reaped_ = true;
}

ChildProcess::~ChildProcess() {
  if (!reaped_) {
    ::kill(pid_, SIGKILL);
    Reap(true);
  }
  for (const int fd : {out_, err_}) {
    if (fd >= 0) ::close(fd);
  }
}

void ChildProcess::Signal(int signal) const {
  if (!reaped_) ::kill(pid_, signal);
}

bool ChildProcess::Pump(int timeoutMs) {
  std::array<pollfd, 2> fds{{{out_, POLLIN, 0}, {err_, POLLIN, 0}}};
  if (out_ < 0 && err_ < 0) return false;
  if (::poll(fds.data(), fds.size(), timeoutMs) < 0 && errno != EINTR) return false;
  if (out_ >= 0 && fds[0].revents != 0) Drain(out_, result_.out);
  if (err_ >= 0 && fds[1].revents != 0) Drain(err_, result_.err);
  return out_ >= 0 || err_ >= 0;
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds limit) {
  const auto deadline = SteadyClock::now() + limit;
  for (;;) {
    const std::size_t end = result_.out.find('\n');
    if (end != std::string::npos) {
      std::string line = result_.out.substr(0, end);
      result_.out.erase(0, end + 1);
      return line;
    }
    if (out_ < 0 || SteadyClock::now() >= deadline) return std::nullopt;
    Pump(MillisecondsUntil(deadline));
  }
}

void ChildProcess::Reap(bool block) {
  int status = 0;
  const pid_t done = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
  if (done != pid_) return;
  reaped_ = true;
  result_.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ProgramResult ChildProcess::Finish(std::chrono::milliseconds limit) {
  const auto deadline = SteadyClock::now() + limit;
  while (!reaped_ || out_ >= 0 || err_ >= 0) {
    if (SteadyClock::now() >= deadline) {
      if (!reaped_) {
        result_.timedOut = true;
        ::kill(pid_, SIGKILL);
        Reap(true);
      }
      break;
    }
    // Short polls: a child may exit while a grandchild still holds the pipes.
    Pump(std::min(MillisecondsUntil(deadline), 50));
    if (!reaped_) Reap(false);
  }
  return result_;
}

ProgramResult RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
  ChildProcess child(argv);
  return child.Finish(limit);
}

}  // namespace kv::testsupport
