// The dump files on disk: whole files go to a temporary name beside the target
// and are renamed over it; an image being filled is locked against a second
// transfer into the same file.
#include "link/dump_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {
namespace {

constexpr std::size_t kFillChunk = 64 * 1024;

bool WriteAll(int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
    offset += written;
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

// Writes through `fill` into a fresh temporary beside `path`, then renames it
// over `path`; the temporary is removed on any failure, whose reason goes to
// `error`.
template <typename Fill>
bool ReplaceWhole(const std::string& path, Fill fill, std::string& error) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    error = SystemError("cannot create a file in " + FolderOf(path));
    return false;
  }
  bool ok = ::fchmod(fd, 0644) == 0 && fill(fd) && ::fsync(fd) == 0;
  if (!ok) error = SystemError("cannot write " + path);
  const bool closed = ::close(fd) == 0;
  if (ok && !closed) error = SystemError("cannot write " + path);
  ok = ok && closed;
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = SystemError("cannot replace " + path);
    ok = false;
  }
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

class DiskImage final : public DumpImage {
 public:
  DiskImage(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~DiskImage() override { ::close(fd_); }  // also releases the lock
  DiskImage(const DiskImage&) = delete;
  DiskImage& operator=(const DiskImage&) = delete;

  bool WriteAt(std::uint64_t offset, std::string_view bytes) override {
    if (WriteAll(fd_, bytes, static_cast<off_t>(offset))) return true;
    error_ = SystemError("cannot write " + path_);
    return false;
  }
  std::string LastError() const override { return error_; }

 private:
  int fd_;
  std::string path_;
  std::string error_;
};

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

class Disk final : public DumpFiles {
 public:
  bool Exists(const std::string& path) override {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
  }

  bool CreateFilled(const std::string& path, std::uint64_t size) override {
    // An image another transfer is filling is not replaced under it.
    const std::unique_ptr<DumpImage> held = Exists(path) ? Open(path) : nullptr;
    if (Exists(path) && !held) return false;
    return ReplaceWhole(path, [size](int fd) {
      const std::string fill(kFillChunk, '\xFF');
      for (std::uint64_t at = 0; at < size; at += kFillChunk) {
        const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(kFillChunk, size - at));
        if (!WriteAll(fd, std::string_view(fill).substr(0, piece), static_cast<off_t>(at))) {
          return false;
        }
      }
      return true;
    }, error_);
  }

  std::unique_ptr<DumpImage> Open(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
      error_ = SystemError("cannot open " + path);
      return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      error_ = path + " is being written by another dump";
      return nullptr;
    }
    return std::make_unique<DiskImage>(fd, path);
  }

  bool WriteText(const std::string& path, std::string_view text) override {
    return ReplaceWhole(path, [text](int fd) { return WriteAll(fd, text, 0); }, error_);
  }

  std::string LastError() const override { return error_; }

 private:
  std::string error_;
};

}  // namespace

DumpFiles& DiskDumpFiles() {
  static Disk disk;
  return disk;
}

std::string DumpFileProblem(const std::string& path, std::uint64_t size) {
  if (IsFolder(path)) return path + " is a folder";
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return SystemError("cannot create a file in " + FolderOf(path));
  std::string problem;
  const int reserved = size == 0 ? 0 : ::posix_fallocate(fd, 0, static_cast<off_t>(size));
  // Some file systems cannot reserve room at all; the write itself says then.
  if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
    errno = reserved;
    problem = SystemError("no room for " + std::to_string(size) + " bytes in " + FolderOf(path));
  }
  ::close(fd);
  ::unlink(temporary.c_str());
  return problem;
}

}  // namespace kv
