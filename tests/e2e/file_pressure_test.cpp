// kvmaint get when the disk does not cooperate: a read-only data folder, a
// full disk or a file size limit, and a process that dies while it writes.
// Whatever happens, the earlier backup and the earlier output file keep their
// bytes, nothing half written takes a maintenance file's name, and the
// failure is said.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <thread>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "e2e_support.h"
#include "small_file_system.h"

namespace kv::e2e {
namespace {

using ::testing::AnyOf;
using ::testing::HasSubstr;

// Every file under `folder` with its bytes, but the instrument history's
// database (recording a failed run is its purpose).
std::map<std::string, std::string> Contents(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && !IsHistoryDatabase(entry.path())) {
      files[std::filesystem::relative(entry.path(), folder).string()] = ReadBytes(entry.path().string());
    }
  }
  return files;
}

const std::string kEarlierBytes = "the backup of an earlier day\r\n";

// A data folder (on a small file system when `kib` > 0 and we may mount)
// holding one earlier backup, and kvsim to read from.
class FilePressure : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    ASSERT_FALSE(sim.Device().empty());
  }
  void PrepareData() {
    std::filesystem::create_directories(data / "Backup");
    WriteBytes((data / "Backup/20000101.kvd").string(), kEarlierBytes);
    WriteBytes((data / "settings.kvd").string(), kEarlierBytes);
    before = Contents(data);
  }
  // kvmaint under /bin/sh with `limits` (ulimit lines) set first.
  ProgramResult Get(const std::string& limits, const std::vector<std::string>& extra = {},
                    const Simulator* other = nullptr) {
    const std::string& port = (other != nullptr ? *other : sim).Device();
    std::vector<std::string> argv{"/bin/sh", "-c", limits + "\nexec \"$@\"", "sh", KV_KVMAINT_PATH,
                                  "get", "--port", port, "--data-dir", data.string()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return RunProgram(argv);
  }
  // What the earlier files hold is what they held, and nothing else that
  // looks like a maintenance file appeared.
  void ExpectEarlierFilesKept() {
    const std::map<std::string, std::string> after = Contents(data);
    for (const auto& [name, bytes] : before) {
      ASSERT_TRUE(after.count(name)) << name << " vanished";
      EXPECT_EQ(after.at(name), bytes) << name;
    }
    for (const auto& [name, bytes] : after) {
      if (before.count(name) == 0) {
        EXPECT_FALSE(name.ends_with(".kvd")) << name << " looks like a maintenance file";
      }
    }
  }

  TempDir dir;
  std::filesystem::path data = dir.Dir() / "data";
  std::map<std::string, std::string> before;
  Simulator sim;
};

TEST_F(FilePressure, AReadOnlyDataFolderIsSaidBeforeReading) {
  SmallFileSystem disk(data.string(), 256);
  PrepareData();
  if (disk.Mounted()) {
    ASSERT_TRUE(disk.MakeReadOnly());
  } else if (::geteuid() != 0) {
    std::filesystem::permissions(data / "Backup", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
  } else {
    GTEST_SKIP() << "root ignores permissions and this system lets no tmpfs be mounted";
  }
  const ProgramResult got = Get("", {"--log", dir.File("session.log")});
  EXPECT_EQ(got.exitCode, 2) << got.err;
  EXPECT_THAT(got.err, HasSubstr("the backup folder " + (data / "Backup").string() + " cannot be written: "));
  EXPECT_THAT(got.err, AnyOf(HasSubstr("Read-only file system"), HasSubstr("Permission denied")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("session.log"))) << "no read was started";
  ExpectEarlierFilesKept();
  std::error_code ignored;  // writable again, so that the folder can be removed
  std::filesystem::permissions(data / "Backup", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add, ignored);
}

// Where the file goes: the next backup, or --output over an earlier file.
struct Target {
  const char* name;
  std::vector<std::string> options;  // relative to the data folder, made absolute below
  const char* writtenKind;           // "a new file in " for a folder
  const char* written;               // the path named in the message
};

// A new backup has no name until it is complete: its folder is named, never
// the earlier backup holding the day's first name.
const Target kTargets[] = {{"Backup", {}, "a new file in ", "Backup"},
                           {"Output", {"--output", "settings.kvd"}, "", "settings.kvd"}};

std::vector<std::string> TargetOptions(const Target& target, const std::filesystem::path& data) {
  std::vector<std::string> options = target.options;
  if (!options.empty()) options.back() = (data / options.back()).string();
  return options;
}

class DiskFull : public FilePressure, public ::testing::WithParamInterface<std::tuple<bool, Target>> {
 protected:
  std::vector<std::string> Options() const { return TargetOptions(std::get<1>(GetParam()), data); }
};

// A maintenance file is some 20 KB: a 16 KiB limit on file size (EFBIG) or
// a full tmpfs (ENOSPC) stops it part way.
TEST_P(DiskFull, TheWriteFailsAndTheEarlierFilesKeepTheirBytes) {
  const bool tmpfs = std::get<0>(GetParam());
  SmallFileSystem disk(data.string(), 256);
  if (tmpfs && !disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here (not root)";
  PrepareData();
  if (tmpfs) disk.Fill();
  const ProgramResult got = Get(tmpfs ? "" : "ulimit -f 32; trap '' XFSZ", Options());
  EXPECT_EQ(got.exitCode, 2) << got.err;
  EXPECT_EQ(got.out, "");
  const Target& target = std::get<1>(GetParam());
  EXPECT_THAT(got.err, HasSubstr("cannot write " + std::string(target.writtenKind) +
                                 (data / target.written).string() + ": "));
  EXPECT_THAT(got.err, HasSubstr(tmpfs ? "No space left on device" : "File too large"));
  if (!tmpfs) {
    // Nothing is left behind either: the temporary file was removed.
    EXPECT_EQ(Contents(data), before);
  }
  ExpectEarlierFilesKept();
}

INSTANTIATE_TEST_SUITE_P(Limits, DiskFull,
                         ::testing::Combine(::testing::Bool(), ::testing::ValuesIn(kTargets)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) ? "FullTmpfs" : "FileSizeLimit") +
                                  std::get<1>(info.param).name;
                         });

// Killed part way through the write: the file size limit with SIGXFSZ left at
// its default ends the process inside the write, every time. The next read
// into the same folder then works as if nothing happened.
class KilledWhileWriting : public FilePressure, public ::testing::WithParamInterface<Target> {};

TEST_P(KilledWhileWriting, LeavesTheEarlierFileAndTheNextReadWorks) {
  PrepareData();
  // The history's database would meet the limit as well, on its own thread
  // while the instrument is read: kept out, so that the write is what dies.
  std::vector<std::string> options = TargetOptions(GetParam(), data);
  options.insert(options.begin(), {"--history", "off"});
  const ProgramResult killed = Get("ulimit -c 0; ulimit -f 32", options);
  EXPECT_EQ(killed.exitCode, -1) << "ended by the signal, not by itself: " << killed.err;
  EXPECT_EQ(killed.out, "") << "no file was named as written";
  ExpectEarlierFilesKept();
  // The proof that it died inside the write: the cut temporary file.
  std::size_t cut = 0;
  for (const auto& [name, bytes] : Contents(data)) cut += before.count(name) == 0 && bytes.size() == 16384 ? 1 : 0;
  EXPECT_EQ(cut, 1U);

  // Another simulator: a pseudo-terminal keeps a killed run's exclusive mode
  // (TIOCEXCL) while kvsim holds its master, and then only root may open it
  // (a real serial port drops the mode with its last close).
  const Simulator fresh;
  const ProgramResult again = Get("", TargetOptions(GetParam(), data), &fresh);
  ASSERT_EQ(again.exitCode, 0) << again.err;
  LoadRecord(Lines(again.out).at(0));  // fails the test unless the file is whole
}

INSTANTIATE_TEST_SUITE_P(Targets, KilledWhileWriting, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

// SIGKILL at moments spread around the end of the read, when the file is
// written: each run ends with the earlier output file or the complete new
// one, never a mixture.
TEST_F(FilePressure, SigkillAroundTheWriteLeavesTheOldOrTheNewFileWhole) {
  PrepareData();
  const std::string output = (data / "settings.kvd").string();
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Get("", {"--output", dir.File("clean.kvd")}).exitCode, 0);
  const auto readTakes = std::chrono::steady_clock::now() - started;
  const std::string clean = ReadBytes(dir.File("clean.kvd"));
  int oldKept = 0;
  int newWritten = 0;
  // Every other millisecond: a process's start alone varies by more.
  for (int step = -15; step <= 5; step += 2) {
    SCOPED_TRACE("killed " + std::to_string(step) + " ms from the usual end");
    ChildProcess get({KV_KVMAINT_PATH, "get", "--port", sim.Device(), "--output", output});
    std::this_thread::sleep_for(readTakes + std::chrono::milliseconds(step));
    get.Signal(SIGKILL);
    get.Finish(10s);
    const std::string now = ReadBytes(output);
    EXPECT_TRUE(now == kEarlierBytes || now == clean) << "a file neither old nor new";
    (now == clean ? newWritten : oldKept) += 1;
    WriteBytes(output, kEarlierBytes);
    before = Contents(data);
  }
  ExpectEarlierFilesKept();
  std::cout << "[ note ] old file kept " << oldKept << " times, new file complete " << newWritten << " times\n";
}

// SIGKILL while send writes into the instrument: the file sent keeps its
// bytes, and the next read from the same instrument works.
TEST_F(FilePressure, SigkillDuringSendKeepsTheFileAndTheInstrumentAnswers) {
  TempDir traced;
  Simulator tracing({"--trace", traced.File("trace.txt")});
  ASSERT_FALSE(tracing.Device().empty());
  const std::string file = dir.File("sent.kvd");
  ASSERT_EQ(Kvmaint({"get", "--port", tracing.Device(), "--output", file}).exitCode, 0);
  const std::string bytes = ReadBytes(file);
  ChildProcess send({KV_KVMAINT_PATH, "send", file, "--port", tracing.Device()});
  // The writes have begun once the trace shows a write line (get and the
  // read before the writes send only ",R," lines).
  bool writing = false;
  for (int i = 0; i < 500 && !writing; ++i) {
    writing = ReadBytes(traced.File("trace.txt")).find(",W,") != std::string::npos;
    if (!writing) std::this_thread::sleep_for(2ms);
  }
  ASSERT_TRUE(writing) << "send never reached its writes";
  send.Signal(SIGKILL);
  const ProgramResult killed = send.Finish(10s);
  EXPECT_EQ(killed.exitCode, -1) << "killed before it ended: " << killed.out;
  EXPECT_EQ(ReadBytes(file), bytes);
  if (::geteuid() != 0) {
    GTEST_SKIP() << "the pseudo-terminal keeps the killed run's exclusive mode (TIOCEXCL): only root "
                    "may open it again while kvsim holds its master";
  }
  const ProgramResult again = Kvmaint({"get", "--port", tracing.Device(), "--output", dir.File("again.kvd")});
  EXPECT_EQ(again.exitCode, 0) << again.err;
}

}  // namespace
}  // namespace kv::e2e
