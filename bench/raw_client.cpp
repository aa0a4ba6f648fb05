#include "raw_client.h"

#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "protocol/framing.h"

namespace kv::bench {
namespace {

constexpr int kReplyLimitMs = 3000;

// Reads until an EOT arrives; false on time-out or error.
bool ReadReply(int fd, std::size_t& received) {
  char chunk[512];
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, kReplyLimitMs) <= 0) return false;
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got <= 0) return false;
    received += static_cast<std::size_t>(got);
    if (chunk[got - 1] == kEOT) return true;
  }
}

}  // namespace

RawResult RawExchanges(const std::string& device, std::span<const std::string> commands) {
  RawResult result;
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return result;
  const auto start = std::chrono::steady_clock::now();
  result.ok = true;
  for (const std::string& command : commands) {
    const std::string line = BuildCommandLine(command, kEOT, "00");
    if (::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()) ||
        !ReadReply(fd, result.bytes.received)) {
      result.ok = false;
      break;
    }
    result.bytes.sent += line.size();
  }
  result.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  ::close(fd);
  return result;
}

}  // namespace kv::bench
