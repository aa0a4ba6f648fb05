#pragma once
// The session trace "SerialLog.log": every line sent and received, framing
// errors, line faults and the start and end of each transaction, one entry a
// line, stamped with the time of day. Written for service staff; nothing reads
// it back.
#include <fstream>
#include <string>
#include <string_view>

#include "common/clock.h"

namespace kv {

class SessionLog {
 public:
  explicit SessionLog(const Clock& clock) : clock_(clock) {}

  // Opens `path` for appending (the caller deletes an old file first).
  // False when it cannot be opened; the log then stays closed.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_.is_open(); }

  // "hh:nn:ss" + blank + text + CR LF, flushed at once. A closed log writes nothing.
  void Write(std::string_view text);
  // "hh:nn:ss < : " followed by every byte as "[HH]".
  void WriteBytes(std::string_view bytes);

 private:
  void WriteEntry(std::string_view separator, std::string_view text);

  const Clock& clock_;
  std::ofstream file_;
};

// Every byte as "[HH]" (two uppercase hexadecimal digits).
std::string BytesAsHexTags(std::string_view bytes);

}  // namespace kv
