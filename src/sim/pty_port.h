#pragma once
// The simulator's end of a pseudo-terminal. The program opens the slave
// device as if it were the instrument's serial port; the simulator reads and
// writes the master. The line is raw, so the protocol's control characters
// (EOT, ETX, NAK, ETB, SUB are also a terminal's end-of-file, interrupt, kill,
// word-erase and suspend characters) pass untouched. A slave descriptor stays
// open all the time, so that the program may close and reopen the port
// without the master seeing an end of file.
#include <string>

namespace kv::sim {

class PtyPort {
 public:
  PtyPort() = default;
  ~PtyPort();
  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;

  // Creates the pair; false with `error` when the system refuses.
  bool Open(std::string* error);
  // Closes both ends, as an unplugged cable does.
  void HangUp();

  bool IsOpen() const { return master_ >= 0; }
  // Bytes written to the master that the program has not read yet.
  int BytesWaitingForPeer() const;
  int Master() const { return master_; }
  const std::string& SlavePath() const { return slavePath_; }

 private:
  int master_ = -1;
  int heldSlave_ = -1;
  std::string slavePath_;
};

}  // namespace kv::sim
