// kvmaint dump into a file it cannot write: a missing folder, a folder in
// place of the file, a read-only folder, a full disk or a file size limit.
// Each is said, naming the file or folder, before anything is asked of the
// instrument (kvsim's trace stays empty), and no file is left behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "e2e_support.h"
#include "small_file_system.h"

namespace kv::e2e {
namespace {

using ::testing::HasSubstr;

enum class Trouble { MissingFolder, FolderAsFile, ReadOnlyFolder, FullDisk, FileSizeLimit };

struct DumpPathCase {
  const char* name;
  Trouble trouble;
  const char* dumpOption;
  const char* reason;  // the system's words for it
};

class DumpPathCheck : public ::testing::TestWithParam<DumpPathCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    ASSERT_FALSE(sim.Device().empty());
  }

  TempDir dir;
  std::string trace = dir.File("trace.txt");
  Simulator sim{{"--trace", trace}};
};

TEST_P(DumpPathCheck, IsSaidBeforeTheInstrumentIsAsked) {
  const DumpPathCase& c = GetParam();
  const std::string folder = dir.File("out");
  std::filesystem::create_directories(folder);
  std::string target = folder + "/image.bin";
  std::string limits;
  std::optional<SmallFileSystem> disk;
  switch (c.trouble) {
    case Trouble::MissingFolder:
      target = folder + "/missing/image.bin";
      break;
    case Trouble::FolderAsFile:
      target = folder;
      break;
    case Trouble::ReadOnlyFolder:
      if (::geteuid() == 0) {
        disk.emplace(folder, 64);
        if (!disk->Mounted() || !disk->MakeReadOnly()) GTEST_SKIP() << "no tmpfs can be mounted here";
      } else {
        ::chmod(folder.c_str(), 0555);
      }
      break;
    case Trouble::FullDisk:
      disk.emplace(folder, 64);
      if (!disk->Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here (not root)";
      break;
    case Trouble::FileSizeLimit:
      limits = "ulimit -f 32; trap '' XFSZ";
      break;
  }
  const ProgramResult result =
      RunProgram({"/bin/sh", "-c", limits + "\nexec \"$@\"", "sh", KV_KVMAINT_PATH, "dump",
                  c.dumpOption, target, "--port", sim.Device()});
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_THAT(result.err, HasSubstr(c.reason));
  EXPECT_THAT(result.err, HasSubstr(c.trouble == Trouble::FolderAsFile ? target : folder));
  EXPECT_THAT(result.err, HasSubstr("nothing was asked of the instrument"));
  EXPECT_THAT(result.err, ::testing::Not(HasSubstr("arrived")));
  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_EQ(ReadBytes(trace), "") << "the instrument was asked";
  if (c.trouble != Trouble::FolderAsFile) {
    std::vector<std::string> left;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
      left.push_back(entry.path().filename().string());
    }
    EXPECT_THAT(left, ::testing::Each(::testing::Eq("filler"))) << "a file was left behind";
  }
}

const DumpPathCase kDumpPathCases[] = {
    {"MissingFolder", Trouble::MissingFolder, "--fram", "No such file or directory"},
    {"FolderAsFile", Trouble::FolderAsFile, "--fram", "is a folder"},
    {"ReadOnlyFolder", Trouble::ReadOnlyFolder, "--fram", "cannot create a file in"},
    {"FullDiskFlash", Trouble::FullDisk, "--flash", "No space left on device"},
    {"FileSizeLimitFlash", Trouble::FileSizeLimit, "--flash", "File too large"},
    {"ListingInMissingFolder", Trouble::MissingFolder, "--listing=ES", "No such file or directory"},
};

INSTANTIATE_TEST_SUITE_P(Paths, DumpPathCheck, ::testing::ValuesIn(kDumpPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::e2e
