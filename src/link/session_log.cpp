#include "link/session_log.h"

#include "protocol/framing.h"

namespace kv {

bool SessionLog::Open(const std::string& path) {
  Close();
  file_.open(path, std::ios::out | std::ios::app | std::ios::binary);
  return file_.is_open();
}

void SessionLog::Close() {
  if (file_.is_open()) {
    file_.close();
  }
}

void SessionLog::Write(std::string_view text) { WriteEntry(" ", text); }

void SessionLog::WriteBytes(std::string_view bytes) {
  WriteEntry(" < : ", BytesAsHexTags(bytes));
}

void SessionLog::WriteEntry(std::string_view separator, std::string_view text) {
  if (!file_.is_open()) {
    return;
  }
  file_ << FormatTimeOfDay(clock_.Now()) << separator << text << "\r\n";
  file_.flush();
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
