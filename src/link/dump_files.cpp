// The dump files on disk: whole files go to a temporary name beside the target
// and are renamed over it; an image being filled is locked against a second
// transfer into the same file.
#include "link/dump_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
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

// Writes through `fill` into a fresh temporary beside `path`, then renames it
// over `path`; the temporary is removed on any failure.
template <typename Fill>
bool ReplaceWhole(const std::string& path, Fill fill) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, 0644) == 0 && fill(fd) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

class DiskImage final : public DumpImage {
 public:
  explicit DiskImage(int fd) : fd_(fd) {}
  ~DiskImage() override { ::close(fd_); }  // also releases the lock
  DiskImage(const DiskImage&) = delete;
  DiskImage& operator=(const DiskImage&) = delete;

  bool WriteAt(std::uint64_t offset, std::string_view bytes) override {
    return WriteAll(fd_, bytes, static_cast<off_t>(offset));
  }

 private:
  int fd_;
};

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
    });
  }

  std::unique_ptr<DumpImage> Open(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<DiskImage>(fd);
  }

  bool WriteText(const std::string& path, std::string_view text) override {
    return ReplaceWhole(path, [text](int fd) { return WriteAll(fd, text, 0); });
  }
};

}  // namespace

DumpFiles& DiskDumpFiles() {
  static Disk disk;
  return disk;
}

}  // namespace kv
