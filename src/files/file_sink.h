#pragma once
// Where a writer puts a file's bytes. The real sink writes a temporary file
// beside the target and only replaces the target when everything was written
// and flushed, so a failure never leaves a half-written or truncated file
// where a good one stood. Tests use sinks that fail on purpose.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace kv {

class FileSink {
 public:
  virtual ~FileSink() = default;
  // Appends bytes; false once anything failed (later calls keep failing).
  virtual bool Write(std::string_view bytes) = 0;
  // Makes everything written the file's content; false when that failed, and
  // then the target is as it was before.
  virtual bool Commit() = 0;
  // What failed, for the user ("" while nothing has).
  virtual std::string Error() const = 0;
};

// The bytes kept in memory: a file's content checked or stored before (or
// instead of) writing it anywhere.
class MemoryFileSink final : public FileSink {
 public:
  bool Write(std::string_view bytes) override {
    content_ += bytes;
    return true;
  }
  bool Commit() override { return true; }
  std::string Error() const override { return {}; }
  const std::string& Content() const { return content_; }
  std::string Take() { return std::move(content_); }

 private:
  std::string content_;
};

// The system calls the atomic sink makes, replaceable so that tests can make
// any of them fail without depending on permissions or a full disk.
struct FileSystemCalls {
  std::function<ssize_t(int fd, const void* data, size_t size)> write;
  std::function<int(int fd)> fsync;
  std::function<int(const char* from, const char* to)> rename;
  // Gives `from` the further name `to` unless `to` exists (errno EEXIST),
  // atomically: a hard link, or a rename that never replaces where the file
  // system has no hard links.
  std::function<int(const char* from, const char* to)> linkNew;
  static FileSystemCalls Posix();
};

// The temporary files "<target>.XXXXXX" that a writer killed part way left
// beside `target`: removed, and their names returned. A temporary is locked
// (flock) by the sink writing it from a moment after its creation, so one
// still being written is never taken, nor one younger than 2 s.
std::vector<std::string> RemoveStaleTemporaries(const std::string& target);

// Writes "<target>.XXXXXX" in the target's folder (first removing the stale
// ones a killed writer left); Commit flushes it to disk and renames it over
// the target. A target that is a symbolic link is
// written through: the file it points to is replaced, the link stays. A sink
// destroyed without a successful Commit removes its temporary file and leaves
// the target untouched.
class AtomicFileSink final : public FileSink {
 public:
  explicit AtomicFileSink(std::string targetPath, FileSystemCalls calls = FileSystemCalls::Posix());
  // A sink whose Commit gives the finished file the first of `paths` that
  // does not exist yet, claimed atomically, so that two writers at the same
  // time never take the same name and nothing is replaced; the file appears
  // under its name only complete. The temporary file lies beside paths[0].
  static AtomicFileSink FirstFreeName(std::vector<std::string> paths,
                                      FileSystemCalls calls = FileSystemCalls::Posix());
  ~AtomicFileSink() override;
  AtomicFileSink(const AtomicFileSink&) = delete;
  AtomicFileSink& operator=(const AtomicFileSink&) = delete;

  bool Write(std::string_view bytes) override;
  bool Commit() override;
  std::string Error() const override { return error_; }

  // The file written, once committed. Before that the target, or for a
  // FirstFreeName sink its folder (no name is its own until it is claimed).
  std::string CommittedPath() const;
  // Commit failed because every one of the FirstFreeName paths exists.
  bool AllNamesTaken() const { return allNamesTaken_; }

 private:
  AtomicFileSink(std::string targetPath, std::vector<std::string> freeNames, FileSystemCalls calls);
  void CreateTemporary();
  bool ClaimFreeName();
  bool Fail(std::string_view what);
  void Discard();
  void ReleaseTemporaryLock();
  // The file being written, for messages.
  std::string WrittenName() const;

  std::string target_;
  std::vector<std::string> freeNames_;  // FirstFreeName: the names to try
  std::string temporary_;
  FileSystemCalls calls_;
  int fd_ = -1;
  int lockFd_ = -1;  // holds the temporary's flock
  bool committed_ = false;
  bool allNamesTaken_ = false;
  std::string error_;
};

}  // namespace kv
