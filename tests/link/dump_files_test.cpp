// The dump files on disk: a whole image of 0xFF, in-place writes, and one
// transfer at a time per image.
#include <gtest/gtest.h>

#include "link/dump_files.h"
#include "link/fakes.h"

namespace kv::test {
namespace {

TEST(DiskDumpFilesTest, ImageIsFilledThenWrittenInPlace) {
  const std::string path = FreshTempPath("kv_dump_image.bin");
  DumpFiles& disk = DiskDumpFiles();
  ASSERT_TRUE(disk.CreateFilled(path, 70000));
  {
    const std::unique_ptr<DumpImage> image = disk.Open(path);
    ASSERT_TRUE(image);
    ASSERT_TRUE(image->WriteAt(65536, "abc"));
  }
  std::string expected(70000, '\xFF');
  expected.replace(65536, 3, "abc");
  EXPECT_TRUE(ReadBytes(path) == expected);
}

TEST(DiskDumpFilesTest, ImageUnderTransferIsNeitherOpenedNorReplaced) {
  const std::string path = FreshTempPath("kv_dump_locked.bin");
  DumpFiles& disk = DiskDumpFiles();
  ASSERT_TRUE(disk.CreateFilled(path, 16));
  const std::unique_ptr<DumpImage> first = disk.Open(path);
  ASSERT_TRUE(first);
  EXPECT_FALSE(disk.Open(path));
  EXPECT_FALSE(disk.CreateFilled(path, 16));
  ASSERT_TRUE(first->WriteAt(0, "x"));
  EXPECT_EQ(ReadBytes(path), "x" + std::string(15, '\xFF'));
}

TEST(DiskDumpFilesTest, ListingIsReplacedWhole) {
  const std::string path = FreshTempPath("kv_dump_listing.txt");
  DumpFiles& disk = DiskDumpFiles();
  ASSERT_TRUE(disk.WriteText(path, "a long earlier listing\r\n"));
  ASSERT_TRUE(disk.WriteText(path, "new\r\n"));
  EXPECT_EQ(ReadBytes(path), "new\r\n");
  EXPECT_FALSE(disk.WriteText("/nonexistent-folder/x.txt", "x"));
}

}  // namespace
}  // namespace kv::test
