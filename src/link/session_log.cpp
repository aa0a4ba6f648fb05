#include "link/session_log.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "protocol/framing.h"

namespace kv {

bool SessionLog::Open(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  failed_ = false;
  return fd_ >= 0;
}

void SessionLog::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

void SessionLog::Write(std::string_view text) { WriteEntry(" ", text); }

void SessionLog::WriteBytes(std::string_view bytes) {
  WriteEntry(" < : ", BytesAsHexTags(bytes));
}

void SessionLog::WriteEntry(std::string_view separator, std::string_view text) {
  if (fd_ < 0 || failed_) {
    return;
  }
  std::string entry = FormatTimeOfDay(clock_.Now());
  entry += separator;
  entry += text;
  entry += "\r\n";
  std::string_view rest = entry;
  while (!rest.empty()) {
    const ssize_t written = ::write(fd_, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Fail(written < 0 ? errno : ENOSPC);
      return;
    }
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
}

void SessionLog::Fail(int error) {
  failed_ = true;
  if (onFailure_) onFailure_(std::strerror(error));
}

std::string BytesAsHexTags(std::string_view bytes) {
  std::string tags;
  tags.reserve(bytes.size() * 4);
  for (const char byte : bytes) {
    tags += '[';
    tags += HexPair(static_cast<unsigned char>(byte));
    tags += ']';
  }
  return tags;
}

}  // namespace kv
