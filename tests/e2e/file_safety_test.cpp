// kvmaint never stores wrong data: two reads into one folder at the same
// time keep two backups, a cut or unsendable file sends nothing, files far
// too large are refused, links are written through, and what cannot be
// stored says why.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "e2e_support.h"
#include "files/kvd_writer.h"
#include "files/scramble.h"

namespace kv::e2e {
namespace {

using ::testing::HasSubstr;

// A settings file read from a fresh simulator, with station 1 named `name`.
std::string StateNamed(const TempDir& dir, const std::string& name) {
  const std::string base = dir.File("base.kvd");
  if (!std::filesystem::exists(base)) {
    Simulator fresh;
    EXPECT_EQ(Kvmaint({"get", "--port", fresh.Device(), "--output", base}).exitCode, 0);
  }
  clsInstrument record = LoadRecord(base);
  EXPECT_TRUE(record.SetXS_(0, name));
  const std::string path = dir.File(name + ".kvd");
  EXPECT_TRUE(WriteMaintenanceFile(record, path).ok);
  return path;
}

// Whole programs, each backup holding its own instrument's settings. The race
// for a name itself is played many times over, with both writers released at
// the same instant, by BackupClaim.TwoWritersAtOnceNeverShareAName.
TEST(ConcurrentGet, TwoReadsIntoOneFolderKeepTwoBackupsEachOfItsOwnInstrument) {
  constexpr int kRounds = 10;
  TempDir dir;
  ASSERT_TRUE(dir.Ok());
  const std::string names[2] = {"INSTRUMENT A", "INSTRUMENT B"};
  Simulator a({"--state", StateNamed(dir, names[0])});
  Simulator b({"--state", StateNamed(dir, names[1])});
  ASSERT_FALSE(a.Device().empty() || b.Device().empty());
  const std::string devices[2] = {a.Device(), b.Device()};
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string data = dir.File("data" + std::to_string(round));
    ChildProcess first({KV_KVMAINT_PATH, "get", "--port", devices[0], "--data-dir", data});
    ChildProcess second({KV_KVMAINT_PATH, "get", "--port", devices[1], "--data-dir", data});
    const ProgramResult results[2] = {first.Finish(), second.Finish()};
    std::set<std::string> paths;
    for (int i = 0; i < 2; ++i) {
      ASSERT_EQ(results[i].exitCode, 0) << results[i].err;
      const std::string path = Lines(results[i].out).at(0);
      paths.insert(path);
      EXPECT_EQ(LoadRecord(path).XS_(0), names[i]) << path;
    }
    EXPECT_EQ(paths.size(), 2U) << "two backups, not one under the other's name";
  }
}

class FileSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    ASSERT_FALSE(sim.Device().empty());
    good = dir.File("good.kvd");
    ASSERT_EQ(Kvmaint({"get", "--port", sim.Device(), "--output", good}).exitCode, 0);
  }

  // kvmaint send FILE against the simulator, with a session log that shows
  // whether the port was opened.
  ProgramResult Send(const std::string& file) {
    return Kvmaint({"send", file, "--port", sim.Device(), "--log", dir.File("session.log")});
  }

  void ExpectNothingSent(const ProgramResult& sent) {
    EXPECT_EQ(sent.exitCode, 2) << sent.err;
    EXPECT_EQ(sent.out, "") << "nothing sent";
    EXPECT_FALSE(std::filesystem::exists(dir.File("session.log"))) << "the port was never opened";
  }

  TempDir dir;
  Simulator sim;
  std::string good;
};

TEST_F(FileSafety, AFileCutInsideALineIsRefusedByEveryFileCommand) {
  const std::string bytes = ReadBytes(good);
  // The cut of the report, and one inside the first and the last line.
  for (const std::size_t at : {std::size_t{9990}, std::size_t{7}, bytes.size() - 5}) {
    SCOPED_TRACE("cut at " + std::to_string(at));
    const std::string cut = dir.File("cut.kvd");
    WriteBytes(cut, bytes.substr(0, at));
    const int line = 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + static_cast<long>(at), '\n'));
    const std::string where = cut + ":" + std::to_string(line) + ":";
    const ProgramResult sent = Send(cut);
    ExpectNothingSent(sent);
    EXPECT_THAT(sent.err, HasSubstr(where));
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"decode", cut}, std::vector<std::string>{"diff", good, cut}}) {
      const ProgramResult result = Kvmaint(command);
      EXPECT_EQ(result.exitCode, 2) << command[0];
      EXPECT_THAT(result.err, HasSubstr(where)) << command[0];
    }
  }
}

TEST_F(FileSafety, SendRefusesAFileWithANameTheInstrumentCannotTakeBeforeWritingAnything) {
  std::string bytes = ReadBytes(good);
  // Line 2 is the user list's second entry; line 40 a station.
  std::vector<std::string> lines = Lines(bytes);
  lines.at(1) = ScrambleLine("XZ,W,02,J\xD6RG,") + "\r";
  lines.at(39) = ScrambleLine("XS,W,08,NORTH{GATE},") + "\r";
  std::string edited;
  for (const std::string& line : lines) edited += line + "\n";
  const std::string file = dir.File("latin1.kvd");
  WriteBytes(file, edited);
  const ProgramResult sent = Send(file);
  ExpectNothingSent(sent);
  EXPECT_THAT(sent.err, HasSubstr(file + ":2: XZ field 2"));
  EXPECT_THAT(sent.err, HasSubstr(file + ":40: XS field 2"));
}

TEST_F(FileSafety, FilesFarLargerThanAnyMaintenanceFileAreRefused) {
  const std::string blank = dir.File("blank.kvd");
  WriteBytes(blank, std::string(3 * 1024 * 1024, '\n'));
  ExpectNothingSent(Send(blank));
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"decode", blank}, std::vector<std::string>{"diff", good, blank},
        std::vector<std::string>{"encode", blank, "--output", dir.File("out.kvd")}}) {
    const ProgramResult result = Kvmaint(command);
    EXPECT_EQ(result.exitCode, 2) << command[0];
    EXPECT_THAT(result.err, HasSubstr("larger than")) << command[0];
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.kvd")));
}

TEST_F(FileSafety, OutputThroughASymbolicLinkWritesTheFileItPointsTo) {
  std::filesystem::create_directories(dir.File("real"));
  WriteBytes(dir.File("real/settings.kvd"), "old");
  std::filesystem::create_symlink("real/settings.kvd", dir.File("link.kvd"));
  const ProgramResult got = Kvmaint({"get", "--port", sim.Device(), "--output", dir.File("link.kvd")});
  ASSERT_EQ(got.exitCode, 0) << got.err;
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.kvd")));
  EXPECT_EQ(ReadBytes(dir.File("real/settings.kvd")), ReadBytes(good));
}

TEST_F(FileSafety, ABackupFolderThatCannotBeWrittenIsSaidBeforeReading) {
  const std::string data = dir.File("data");
  std::filesystem::create_directories(data);
  WriteBytes(data + "/Backup", "a file where the folder should be");
  const ProgramResult got = Kvmaint({"get", "--port", sim.Device(), "--data-dir", data, "--log",
                                     dir.File("session.log")});
  EXPECT_EQ(got.exitCode, 2);
  EXPECT_THAT(got.err, HasSubstr("the backup folder " + data + "/Backup cannot be created: "));
  EXPECT_FALSE(std::filesystem::exists(dir.File("session.log"))) << "no read was started";
}

// No file may grow past 512 bytes (as a full disk for the log, which one
// reading makes longer than that; the port's lock file stays smaller): the
// command still succeeds and says once that its log ends.
TEST_F(FileSafety, ASessionLogThatCannotBeWrittenIsSaidOnceAndTheCommandSucceeds) {
  const std::string command =
      "ulimit -f 1; trap '' XFSZ; exec \"$0\" live --count 1 --port \"$1\" --log \"$2\"";
  const ProgramResult result =
      RunProgram({"/bin/sh", "-c", command, KV_KVMAINT_PATH, sim.Device(), dir.File("session.log")});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr("cannot write the session log " + dir.File("session.log") +
                                    " (File too large); it ends here"));
  EXPECT_EQ(result.err.find("session log", result.err.find("session log") + 1), std::string::npos)
      << "said once: " << result.err;
}

}  // namespace
}  // namespace kv::e2e
