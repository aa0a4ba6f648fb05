#include "files/file_sink.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {
namespace {

constexpr std::string_view kTemporarySuffix = ".XXXXXX";
constexpr mode_t kNewFileMode = 0644;

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename itself must reach the disk too, or a crash could bring back the
// old directory entry. A folder that cannot be opened or flushed is no reason
// to call the write failed: the data already are on disk.
void FlushFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

FileSystemCalls FileSystemCalls::Posix() {
  return {[](int fd, const void* data, size_t size) { return ::write(fd, data, size); },
          [](int fd) { return ::fsync(fd); },
          [](const char* from, const char* to) { return ::rename(from, to); }};
}

AtomicFileSink::AtomicFileSink(std::string targetPath, FileSystemCalls calls)
    : target_(std::move(targetPath)), calls_(std::move(calls)) {
  std::vector<char> name(target_.begin(), target_.end());
  name.insert(name.end(), kTemporarySuffix.begin(), kTemporarySuffix.end());
  name.push_back('\0');
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) {
    Fail("cannot create a file in " + FolderOf(target_));
    return;
  }
  temporary_ = name.data();
  // A replaced file keeps its permissions; a new one gets the usual ones
  // instead of the private mode of a temporary file.
  struct stat existing {};
  const mode_t mode = ::stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                              : kNewFileMode;
  (void)::fchmod(fd_, mode);
}

AtomicFileSink::~AtomicFileSink() {
  if (!committed_) Discard();
}

bool AtomicFileSink::Fail(std::string_view what) {
  if (error_.empty()) {
    error_ = std::string(what) + ": " + std::strerror(errno);
  }
  Discard();
  return false;
}

void AtomicFileSink::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

bool AtomicFileSink::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t written = calls_.write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return Fail("cannot write " + target_);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool AtomicFileSink::Commit() {
  if (fd_ < 0) return false;
  if (calls_.fsync(fd_) != 0) return Fail("cannot write " + target_);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return Fail("cannot write " + target_);
  if (calls_.rename(temporary_.c_str(), target_.c_str()) != 0) {
    return Fail("cannot replace " + target_);
  }
  temporary_.clear();
  committed_ = true;
  FlushFolder(FolderOf(target_));
  return true;
}

}  // namespace kv
