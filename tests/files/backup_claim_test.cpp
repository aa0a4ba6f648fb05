// Backups claim their name atomically: two programs finishing a read into one
// folder at the same moment keep two backups; a name is never replaced and
// never holds a half-written file.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "files/backup_name.h"
#include "files/file_sink.h"
#include "support/temp_folder.h"

namespace kv {
namespace {

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

const DateTime kDay{2026, 12, 10, 9, 30, 0};

std::size_t EntriesIn(const std::string& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

// Content big enough that writing it takes a while, and whose writer can be told.
std::string ContentOf(const std::string& writer) {
  std::string content;
  for (int line = 0; line < 341; ++line) content += writer + " line " + std::to_string(line) + "\r\n";
  return content;
}

// In a child: waits for the start signal, writes a backup, prints nothing;
// exits 0 when the backup was committed.
[[noreturn]] void WriteBackupInChild(int startPipe, const std::string& folder, const std::string& writer) {
  char go = 0;
  (void)::read(startPipe, &go, 1);
  AtomicFileSink sink = AtomicFileSink::FirstFreeName(BackupPaths(folder, kDay));
  const bool ok = sink.Write(ContentOf(writer)) && sink.Commit();
  ::_exit(ok ? 0 : 1);
}

TEST(BackupClaim, TwoWritersAtOnceNeverShareAName) {
  constexpr int kRounds = 60;
  TempFolder folder;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string roundFolder = folder.File(std::to_string(round));
    ASSERT_EQ(BackupFolderProblem(roundFolder), "");
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    pid_t children[2];
    const std::string writers[2] = {"first", "second"};
    for (int i = 0; i < 2; ++i) {
      children[i] = ::fork();
      ASSERT_GE(children[i], 0);
      if (children[i] == 0) {
        ::close(start[1]);
        WriteBackupInChild(start[0], roundFolder, writers[i]);
      }
    }
    ::close(start[0]);
    ::close(start[1]);  // both children start now
    for (const pid_t child : children) {
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // Two backups, the first two names of the day, each its own writer's.
    std::set<std::string> contents;
    for (int number = 0; number < 2; ++number) {
      contents.insert(ReadBytes(roundFolder + "/" + BackupFileName(kDay, number)));
    }
    EXPECT_EQ(contents, (std::set<std::string>{ContentOf("first"), ContentOf("second")}));
    EXPECT_EQ(EntriesIn(roundFolder), 2U) << "no temporary file is left";
  }
}

// A full disk: the backup that was not written is not named after the
// earlier backup that holds the first name.
TEST(BackupClaim, AFailedWriteNamesNoExistingBackup) {
  TempFolder folder;
  const std::vector<std::string> names = BackupPaths(folder.Path(), kDay);
  WriteBytes(names[0], "older");
  FileSystemCalls full = FileSystemCalls::Posix();
  full.write = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  AtomicFileSink sink = AtomicFileSink::FirstFreeName(names, full);
  EXPECT_FALSE(sink.Write("new"));
  EXPECT_EQ(sink.Error(), "cannot write a new file in " + folder.Path() + ": No space left on device");
  EXPECT_EQ(sink.CommittedPath(), folder.Path());
  EXPECT_EQ(ReadBytes(names[0]), "older");
  EXPECT_EQ(EntriesIn(folder.Path()), 1U);
}

TEST(BackupClaim, TakesTheFirstFreeNameAndReplacesNone) {
  TempFolder folder;
  const std::vector<std::string> names = BackupPaths(folder.Path(), kDay);
  WriteBytes(names[0], "older");
  WriteBytes(names[2], "older too");
  AtomicFileSink sink = AtomicFileSink::FirstFreeName(names);
  ASSERT_TRUE(sink.Write("new") && sink.Commit()) << sink.Error();
  EXPECT_EQ(sink.CommittedPath(), names[1]);
  EXPECT_EQ(ReadBytes(names[0]), "older");
  EXPECT_EQ(ReadBytes(names[1]), "new");
  EXPECT_EQ(ReadBytes(names[2]), "older too");
  EXPECT_EQ(EntriesIn(folder.Path()), 3U);
}

TEST(BackupClaim, AllNamesTakenIsSaidAndLeavesEveryFile) {
  TempFolder folder;
  const std::vector<std::string> names = BackupPaths(folder.Path(), kDay);
  ASSERT_EQ(names.size(), static_cast<std::size_t>(kBackupNamesPerDay));
  for (const std::string& name : names) WriteBytes(name, "taken");
  AtomicFileSink sink = AtomicFileSink::FirstFreeName(names);
  ASSERT_TRUE(sink.Write("new"));
  EXPECT_FALSE(sink.Commit());
  EXPECT_TRUE(sink.AllNamesTaken());
  EXPECT_NE(sink.Error().find("taken"), std::string::npos) << sink.Error();
  for (const std::string& name : names) EXPECT_EQ(ReadBytes(name), "taken") << name;
  EXPECT_EQ(EntriesIn(folder.Path()), names.size()) << "the temporary file is removed";
}

TEST(BackupClaim, AFailedClaimIsNotTakenForATakenName) {
  TempFolder folder;
  auto calls = FileSystemCalls::Posix();
  calls.linkNew = [](const char*, const char*) {
    errno = EIO;
    return -1;
  };
  AtomicFileSink sink = AtomicFileSink::FirstFreeName(BackupPaths(folder.Path(), kDay), calls);
  ASSERT_TRUE(sink.Write("new"));
  EXPECT_FALSE(sink.Commit());
  EXPECT_FALSE(sink.AllNamesTaken());
  EXPECT_NE(sink.Error().find("Input/output error"), std::string::npos) << sink.Error();
  EXPECT_EQ(EntriesIn(folder.Path()), 0U);
}

TEST(BackupFolder, ProblemsAreSaidWithTheirCause) {
  TempFolder folder;
  EXPECT_EQ(BackupFolderProblem(folder.File("Backup")), "") << "a missing folder is created";
  EXPECT_TRUE(std::filesystem::is_directory(folder.File("Backup")));
  EXPECT_EQ(EntriesIn(folder.File("Backup")), 0U) << "the trial file is gone";

  WriteBytes(folder.File("plain"), "a file where the folder should be");
  const std::string notAFolder = BackupFolderProblem(folder.File("plain/Backup"));
  EXPECT_NE(notAFolder.find("cannot be created"), std::string::npos) << notAFolder;

  if (::geteuid() != 0) {  // permissions do not stop root
    std::filesystem::create_directories(folder.File("readonly"));
    std::filesystem::permissions(folder.File("readonly"), std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::owner_exec);
    const std::string readOnly = BackupFolderProblem(folder.File("readonly"));
    EXPECT_EQ(readOnly, "cannot be written: Permission denied");
    std::filesystem::permissions(folder.File("readonly"), std::filesystem::perms::owner_all);
  }
}

}  // namespace
}  // namespace kv
