#pragma once
// An advisory lock (flock) on a file that is read, changed and written back
// whole (kvmaint set, import-csv), so that edits by programs running at the
// same time are applied one after another instead of one undoing another.
// The lock is on the file itself; since the atomic write replaces the file by
// a new one, a lock taken on the old file is let go and taken again on the
// new one. Waits at most `patience`, then says who is in the way.
#include <chrono>
#include <functional>
#include <string>

namespace kv {

class FileEditLock {
 public:
  static constexpr std::chrono::milliseconds kDefaultPatience{10000};

  explicit FileEditLock(const std::string& path,
                        std::chrono::milliseconds patience = kDefaultPatience);
  ~FileEditLock();
  FileEditLock(const FileEditLock&) = delete;
  FileEditLock& operator=(const FileEditLock&) = delete;

  // True while held; a file that does not exist is held trivially (there is
  // nothing to edit in place).
  bool Held() const { return held_; }
  // Why it is not held, naming the file.
  const std::string& Error() const { return error_; }

 private:
  int fd_ = -1;
  bool held_ = false;
  std::string error_;
};

// Runs `edit` (a read, change and write back of `path`, saying why it
// failed in its argument) while holding the file's lock; false with `error`
// set when the lock was not had or the edit failed.
bool EditLocked(const std::string& path, const std::function<bool(std::string* error)>& edit,
                std::string* error);

}  // namespace kv
