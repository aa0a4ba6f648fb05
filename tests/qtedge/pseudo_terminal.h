#pragma once
// A pseudo-terminal for tests of the serial transport: the test holds the
// master side, the transport opens the device path.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QFile>
#include <QString>

namespace kv::test {

class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    const char* name = ::ptsname(master_);
    if (name != nullptr) path_ = QFile::decodeName(name);
  }
  ~PseudoTerminal() {
    if (master_ >= 0) ::close(master_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool Ok() const { return !path_.isEmpty(); }
  const QString& Path() const { return path_; }

 private:
  int master_ = -1;
  QString path_;
};

}  // namespace kv::test
