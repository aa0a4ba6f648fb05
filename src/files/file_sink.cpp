#include "files/file_sink.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <climits>
#include <cstdio>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
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

// The file a chain of symbolic links ends at (the path itself when it is no
// link, or when the chain cannot be followed: creating the file then says why).
std::string FollowLinks(std::string path) {
  constexpr int kMostLinks = 40;  // as the kernel's ELOOP limit
  for (int hop = 0; hop < kMostLinks; ++hop) {
    std::vector<char> target(PATH_MAX + 1);
    const ssize_t length = ::readlink(path.c_str(), target.data(), PATH_MAX);
    if (length < 0) return path;
    std::string next(target.data(), static_cast<std::size_t>(length));
    if (next.empty()) return path;
    path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
  }
  return path;
}

// Where hard links are not supported, a rename that refuses to replace.
int LinkOrRenameNew(const char* from, const char* to) {
  if (::link(from, to) == 0) return 0;
  if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK) return -1;
  return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

std::string NameIn(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "<name>." and the six letters or digits mkstemp puts for XXXXXX.
bool IsTemporaryOf(std::string_view entry, std::string_view name) {
  const std::size_t length = name.size() + kTemporarySuffix.size();
  if (entry.size() != length || !entry.starts_with(name) || entry[name.size()] != '.') return false;
  for (const char c : entry.substr(name.size() + 1)) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// A writer locks its temporary a moment after creating it: one younger than
// this may be live though unlocked.
constexpr std::time_t kCreationGraceSeconds = 1;

// Removes `path` when no writer holds its lock and it is not just being created.
bool RemoveIfAbandoned(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  struct stat info {};
  const bool abandoned = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                         std::time(nullptr) - info.st_mtime > kCreationGraceSeconds &&
                         ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.c_str()) == 0;
  ::close(fd);
  return abandoned;
}

}  // namespace

std::vector<std::string> RemoveStaleTemporaries(const std::string& target) {
  const std::string folder = FolderOf(target);
  const std::string name = NameIn(target);
  std::vector<std::string> removed;
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return removed;
  while (const dirent* entry = ::readdir(listing)) {
    if (!IsTemporaryOf(entry->d_name, name)) continue;
    const std::string path = folder + "/" + entry->d_name;
    if (RemoveIfAbandoned(path)) removed.push_back(path);
  }
  ::closedir(listing);
  return removed;
}

FileSystemCalls FileSystemCalls::Posix() {
  return {[](int fd, const void* data, size_t size) { return ::write(fd, data, size); },
          [](int fd) { return ::fsync(fd); },
          [](const char* from, const char* to) { return ::rename(from, to); },
          LinkOrRenameNew};
}

AtomicFileSink::AtomicFileSink(std::string targetPath, FileSystemCalls calls)
    : target_(FollowLinks(std::move(targetPath))), calls_(std::move(calls)) {
  CreateTemporary();
}

AtomicFileSink::AtomicFileSink(std::string targetPath, std::vector<std::string> freeNames,
                               FileSystemCalls calls)
    : target_(std::move(targetPath)), freeNames_(std::move(freeNames)), calls_(std::move(calls)) {
  CreateTemporary();
}

AtomicFileSink AtomicFileSink::FirstFreeName(std::vector<std::string> paths, FileSystemCalls calls) {
  std::string first = paths.empty() ? std::string() : paths.front();
  return AtomicFileSink(std::move(first), std::move(paths), std::move(calls));
}

void AtomicFileSink::CreateTemporary() {
  (void)RemoveStaleTemporaries(target_);
  std::vector<char> name(target_.begin(), target_.end());
  name.insert(name.end(), kTemporarySuffix.begin(), kTemporarySuffix.end());
  name.push_back('\0');
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) {
    Fail("cannot create a file in " + FolderOf(target_));
    return;
  }
  temporary_ = name.data();
  // Held until the temporary has its final name or is gone: tells a live
  // temporary from one a killed writer left. Taken at once, and kept by a
  // duplicate of the descriptor (the lock belongs to the open file, so
  // closing the written descriptor in Commit does not release it).
  (void)::flock(fd_, LOCK_EX | LOCK_NB);
  lockFd_ = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  // A replaced file keeps its permissions; a new one gets the usual ones
  // instead of the private mode of a temporary file.
  struct stat existing {};
  const mode_t mode = ::stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                              : kNewFileMode;
  (void)::fchmod(fd_, mode);
}

std::string AtomicFileSink::WrittenName() const {
  // A file under the first free name has no name before it is complete: the
  // first name belongs to a file that exists already.
  return freeNames_.empty() ? target_ : "a new file in " + FolderOf(target_);
}

std::string AtomicFileSink::CommittedPath() const {
  return committed_ || freeNames_.empty() ? target_ : FolderOf(target_);
}

AtomicFileSink::~AtomicFileSink() {
  if (!committed_) Discard();
  ReleaseTemporaryLock();
}

void AtomicFileSink::ReleaseTemporaryLock() {
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
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
  ReleaseTemporaryLock();
}

bool AtomicFileSink::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t written = calls_.write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return Fail("cannot write " + WrittenName());
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool AtomicFileSink::Commit() {
  if (fd_ < 0) return false;
  if (calls_.fsync(fd_) != 0) return Fail("cannot write " + WrittenName());
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return Fail("cannot write " + WrittenName());
  if (!freeNames_.empty()) {
    if (!ClaimFreeName()) return false;
  } else if (calls_.rename(temporary_.c_str(), target_.c_str()) != 0) {
    return Fail("cannot replace " + target_);
  }
  temporary_.clear();
  ReleaseTemporaryLock();
  committed_ = true;
  FlushFolder(FolderOf(target_));
  return true;
}

bool AtomicFileSink::ClaimFreeName() {
  for (const std::string& name : freeNames_) {
    if (calls_.linkNew(temporary_.c_str(), name.c_str()) == 0) {
      // Gone already when the name was given by a rename.
      (void)::unlink(temporary_.c_str());
      target_ = name;
      return true;
    }
    if (errno != EEXIST) return Fail("cannot create " + name);
  }
  allNamesTaken_ = true;
  error_ = "all " + std::to_string(freeNames_.size()) + " names are taken, up to " + freeNames_.back();
  Discard();
  return false;
}

}  // namespace kv
