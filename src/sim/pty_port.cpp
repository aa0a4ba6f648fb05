#include "sim/pty_port.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kv::sim {
PtyPort::~PtyPort() { HangUp(); }

bool PtyPort::Open(std::string* error) {
  HangUp();
  const auto Fail = [&](std::string* message, const char* what) {
    if (message) *message = std::string(what) + ": " + std::strerror(errno);
    HangUp();
    return false;
  };
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) return Fail(error, "posix_openpt");
  if (::grantpt(master_) != 0) return Fail(error, "grantpt");
  if (::unlockpt(master_) != 0) return Fail(error, "unlockpt");
  const char* name = ::ptsname(master_);
  if (name == nullptr) return Fail(error, "ptsname");
  slavePath_ = name;
  heldSlave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
  if (heldSlave_ < 0) return Fail(error, "open slave");
  termios mode{};
  if (::tcgetattr(heldSlave_, &mode) != 0) return Fail(error, "tcgetattr");
  ::cfmakeraw(&mode);
  if (::tcsetattr(heldSlave_, TCSANOW, &mode) != 0) return Fail(error, "tcsetattr");
  // Replies are written without blocking: a port nobody reads must not stall the simulator.
  const int flags = ::fcntl(master_, F_GETFL);
  if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) return Fail(error, "fcntl");
  return true;
}

int PtyPort::BytesWaitingForPeer() const {
  int waiting = 0;
  if (heldSlave_ < 0 || ::ioctl(heldSlave_, FIONREAD, &waiting) != 0) return 0;
  return waiting;
}

void PtyPort::HangUp() {
  if (heldSlave_ >= 0) ::close(heldSlave_);
  if (master_ >= 0) ::close(master_);
  heldSlave_ = -1;
  master_ = -1;
}

}  // namespace kv::sim
