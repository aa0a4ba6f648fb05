#pragma once
// Talking to the simulator through a real pseudo-terminal, as the program
// does through its serial port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>

#include "protocol/framing.h"

namespace kv::sim::testing {

// Opens the device as a program opens a serial port, leaving its line settings alone.
inline int OpenPort(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_NOCTTY); }

// Reads until an EOT arrives or `timeoutMs` passes; what arrived so far.
inline std::string ReadReply(int fd, int timeoutMs = 2000) {
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (received.empty() || received.back() != kEOT) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0 || (p.revents & POLLIN) == 0) break;
    char chunk[512];
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got <= 0) break;
    received.append(chunk, static_cast<std::size_t>(got));
  }
  return received;
}

// Sends one framed command and returns the reply bytes.
inline std::string AskPort(int fd, std::string_view commandText, int timeoutMs = 2000) {
  const std::string line = BuildCommandLine(commandText, kEOT, "00");
  if (::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return {};
  return ReadReply(fd, timeoutMs);
}

}  // namespace kv::sim::testing
