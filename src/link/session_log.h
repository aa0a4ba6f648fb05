#pragma once
// The session trace "SerialLog.log": every line sent and received, framing
// errors, line faults and the start and end of each transaction, one entry a
// line, stamped with the time of day. Written for service staff; nothing reads
// it back.
//
// A log that cannot be written (a full disk) never stops the session, but it
// is not cut silently either: the first failed entry is reported once through
// the failure handler, and nothing more is written to that file.
#include <functional>
#include <string>
#include <string_view>

#include "common/clock.h"

namespace kv {

class SessionLog {
 public:
  // Told once per opened file that the log stopped, with the system's reason
  // ("No space left on device").
  using FailureHandler = std::function<void(const std::string& reason)>;

  explicit SessionLog(const Clock& clock) : clock_(clock) {}
  ~SessionLog() { Close(); }
  SessionLog(const SessionLog&) = delete;
  SessionLog& operator=(const SessionLog&) = delete;

  // Opens `path` for appending (the caller deletes an old file first).
  // False when it cannot be opened; the log then stays closed.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  // True once an entry could not be written to the open file.
  bool Failed() const { return failed_; }

  void SetFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }

  // "hh:nn:ss" + blank + text + CR LF, written at once. A closed or failed
  // log writes nothing.
  void Write(std::string_view text);
  // "hh:nn:ss < : " followed by every byte as "[HH]".
  void WriteBytes(std::string_view bytes);

 private:
  void WriteEntry(std::string_view separator, std::string_view text);
  void Fail(int error);

  const Clock& clock_;
  int fd_ = -1;
  bool failed_ = false;
  FailureHandler onFailure_;
};

// Every byte as "[HH]" (two uppercase hexadecimal digits).
std::string BytesAsHexTags(std::string_view bytes);

}  // namespace kv
