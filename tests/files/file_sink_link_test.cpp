// An output path that is a symbolic link is written through: the file the
// link points to gets the new content, and the link stays a link.
#include <gtest/gtest.h>

#include <filesystem>

#include "files/file_sink.h"
#include "support/temp_folder.h"

namespace kv {
namespace {

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

struct LinkCase {
  const char* what;
  const char* linkTarget;  // as stored in the link
  const char* realFile;    // relative to the temp folder
};

class OutputThroughLink : public testing::TestWithParam<LinkCase> {};

TEST_P(OutputThroughLink, ReplacesTheTargetAndKeepsTheLink) {
  const LinkCase& c = GetParam();
  TempFolder folder;
  std::filesystem::create_directories(folder.File("real"));
  std::filesystem::create_directories(folder.File("links"));
  const std::string real = folder.File(c.realFile);
  const std::string link = folder.File("links/out.kvd");
  WriteBytes(real, "old");
  const std::string linkTarget =
      c.linkTarget[0] == '/' ? folder.File(c.linkTarget + 1) : std::string(c.linkTarget);
  std::filesystem::create_symlink(linkTarget, link);

  AtomicFileSink sink(link);
  ASSERT_TRUE(sink.Write("new") && sink.Commit()) << sink.Error();

  EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link is not replaced by a file";
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), linkTarget);
  EXPECT_EQ(ReadBytes(real), "new");
  EXPECT_EQ(ReadBytes(link), "new");
  // No temporary file is left in either folder.
  for (const char* sub : {"real", "links"}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder.File(sub))) {
      EXPECT_EQ(entry.path().filename().string().find(".kvd."), std::string::npos) << entry.path();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Links, OutputThroughLink,
    testing::Values(LinkCase{"relative link", "../real/file.kvd", "real/file.kvd"},
                    LinkCase{"absolute link", "/real/file.kvd", "real/file.kvd"}));

TEST(OutputThroughLinkChain, ALinkToALinkReachesTheFile) {
  TempFolder folder;
  WriteBytes(folder.File("file.kvd"), "old");
  std::filesystem::create_symlink("file.kvd", folder.File("hop.kvd"));
  std::filesystem::create_symlink("hop.kvd", folder.File("out.kvd"));
  AtomicFileSink sink(folder.File("out.kvd"));
  ASSERT_TRUE(sink.Write("new") && sink.Commit()) << sink.Error();
  EXPECT_TRUE(std::filesystem::is_symlink(folder.File("out.kvd")));
  EXPECT_TRUE(std::filesystem::is_symlink(folder.File("hop.kvd")));
  EXPECT_EQ(ReadBytes(folder.File("file.kvd")), "new");
}

TEST(OutputThroughLinkChain, ADanglingLinkCreatesItsTarget) {
  TempFolder folder;
  std::filesystem::create_symlink("new.kvd", folder.File("out.kvd"));
  AtomicFileSink sink(folder.File("out.kvd"));
  ASSERT_TRUE(sink.Write("new") && sink.Commit()) << sink.Error();
  EXPECT_TRUE(std::filesystem::is_symlink(folder.File("out.kvd")));
  EXPECT_EQ(ReadBytes(folder.File("new.kvd")), "new");
}

}  // namespace
}  // namespace kv
