#include "qtedge/file_edit_lock.h"

#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {
namespace {

constexpr std::chrono::milliseconds kRetryEvery{20};

// The path still names the file open as `fd` (it was not replaced meanwhile).
bool StillNamed(int fd, const std::string& path) {
  struct stat open {};
  struct stat named {};
  return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

FileEditLock::FileEditLock(const std::string& path, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
      held_ = errno == ENOENT;
      if (!held_) error_ = path + ": cannot be opened: " + std::strerror(errno);
      return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      if (StillNamed(fd_, path)) {
        held_ = true;
        return;
      }
    } else if (errno != EWOULDBLOCK) {
      // A file system without locks: edits there are not kept apart.
      held_ = true;
      return;
    }
    ::close(fd_);
    fd_ = -1;
    if (std::chrono::steady_clock::now() >= deadline) {
      error_ = path + " is being changed by another program (waited " +
               std::to_string(patience.count() / 1000) + " s)";
      return;
    }
    std::this_thread::sleep_for(kRetryEvery);
  }
}

FileEditLock::~FileEditLock() {
  if (fd_ >= 0) ::close(fd_);  // releases the lock
}

bool EditLocked(const std::string& path, const std::function<bool(std::string* error)>& edit,
                std::string* error) {
  const FileEditLock editing(path);
  if (!editing.Held()) {
    if (error != nullptr) *error = editing.Error();
    return false;
  }
  return edit(error);
}

}  // namespace kv
