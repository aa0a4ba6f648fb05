// kvmaint recording into a history file the user may not write: the read
// still succeeds and says why nothing was recorded.
#include <gmock/gmock.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "e2e_support.h"

namespace kv::e2e {
namespace {

using ::testing::HasSubstr;

// A history file the user may not write. Root writes any file, so under root
// kvmaint runs as nobody, with the port and an output folder opened to it, and
// from a copy in the test's folder (the build folder may be closed to nobody).
TEST(ReadOnlyHistoryTest, TheReadStillSucceeds) {
  TempDir dir;
  Simulator sim;
  ASSERT_FALSE(sim.Device().empty());
  const std::string history = dir.File("h.sqlite");
  WriteBytes(history, "");
  ASSERT_EQ(::chmod(history.c_str(), 0444), 0);
  const std::string work = dir.File("work");
  std::filesystem::create_directories(work);
  std::vector<std::string> argv{KV_KVMAINT_PATH, "get", "--port", sim.Device(), "--data-dir", work + "/data",
                                "--output", work + "/read.kvd", "--history", history};
  if (::geteuid() == 0) {
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chown(work.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    ASSERT_EQ(::chmod(sim.Device().c_str(), 0666), 0);
    argv[0] = dir.File("kvmaint");
    std::filesystem::copy_file(KV_KVMAINT_PATH, argv[0]);
    ASSERT_EQ(::chmod(argv[0].c_str(), 0755), 0);
    argv.insert(argv.begin(), {"/usr/sbin/runuser", "-u", "nobody", "--"});
  }
  const ProgramResult got = testsupport::RunProgram(argv);
  EXPECT_EQ(got.exitCode, 0) << got.err;
  EXPECT_EQ(Lines(got.out), std::vector<std::string>{work + "/read.kvd"});
  EXPECT_THAT(got.err, HasSubstr("history not recorded: cannot open the history database " + history));
  EXPECT_THAT(got.err, HasSubstr("readonly"));
}

}  // namespace
}  // namespace kv::e2e
