#include "files/kvd_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "support/sample_record.h"
#include "files/scramble.h"
#include "support/temp_folder.h"
#include "protocol/write_lines.h"

namespace kv {
namespace {

using testsupport::ReadBytes;
using testsupport::SampleRecord;
using testsupport::TempFolder;
using testsupport::WriteBytes;

TEST(MaintenanceFile, AFreshRecordWrites341EvenLinesEndedByCrLf) {
  TempFolder folder;
  const std::string path = folder.File("fresh.kvd");
  const auto result = WriteMaintenanceFile(clsInstrument{}, path);
  ASSERT_TRUE(result.ok) << result.error;

  const std::string bytes = ReadBytes(path);
  std::vector<std::string> codes;
  std::size_t start = 0;
  int lines = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "line " << lines + 1 << " has no CR LF";
    const std::string line = bytes.substr(start, end - start);
    EXPECT_EQ(line.size() % 2, 0U) << "line " << lines + 1;
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    const auto text = UnscrambleLine(line);
    ASSERT_TRUE(text.has_value());
    codes.push_back(text->substr(0, 2));
    start = end + 2;
    ++lines;
  }
  EXPECT_EQ(lines, 341);
  // Lines of one code are contiguous and appear in the record table's order.
  std::size_t next = 0;
  for (const auto& row : FileRecordTable()) {
    for (int i = 0; i < row.lines; ++i, ++next) {
      ASSERT_LT(next, codes.size());
      EXPECT_EQ(codes[next], row.code);
    }
  }
}

TEST(MaintenanceFile, RecordTextsFollowTheRecordTableAndEndWithAComma) {
  const auto texts = MaintenanceRecordTexts(SampleRecord());
  ASSERT_EQ(texts.size(), 341U);
  for (const auto& text : texts) {
    EXPECT_EQ(text.substr(2, 3), ",W,") << text;
    EXPECT_EQ(text.back(), ',') << text;
  }
}

// Write failures at each step of the atomic sink, injected through its system
// calls: the file that stood there keeps its bytes and no temporary is left.
class FailingWrite : public testing::Test {
 protected:
  void SetUp() override { WriteBytes(path, kOldContent); }

  void ExpectOldFileIntact() {
    EXPECT_EQ(ReadBytes(path), kOldContent);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"kept.kvd"});
  }

  static constexpr const char* kOldContent = "a good file from yesterday\r\n";
  TempFolder folder;
  std::string path = folder.File("kept.kvd");
};

TEST_F(FailingWrite, DiskFullAfterSomeBytes) {
  for (const std::size_t budget : {0UL, 1UL, 100UL, 5000UL}) {
    auto calls = FileSystemCalls::Posix();
    std::size_t written = 0;
    calls.write = [&, posixWrite = calls.write](int fd, const void* data, size_t size) -> ssize_t {
      if (written >= budget) {
        errno = ENOSPC;
        return -1;
      }
      const size_t allowed = std::min(size, budget - written);
      written += allowed;
      return posixWrite(fd, data, allowed);
    };
    AtomicFileSink sink(path, calls);
    const auto result = WriteMaintenanceFile(SampleRecord(), sink);
    EXPECT_FALSE(result.ok) << "budget " << budget;
    EXPECT_NE(result.error.find("No space left"), std::string::npos) << result.error;
    ExpectOldFileIntact();
  }
}

TEST_F(FailingWrite, FlushFails) {
  auto calls = FileSystemCalls::Posix();
  calls.fsync = [](int) {
    errno = EIO;
    return -1;
  };
  {
    AtomicFileSink sink(path, calls);
    const auto result = WriteMaintenanceFile(SampleRecord(), sink);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("kept.kvd"), std::string::npos) << result.error;
  }
  ExpectOldFileIntact();
}

TEST_F(FailingWrite, RenameFails) {
  auto calls = FileSystemCalls::Posix();
  calls.rename = [](const char*, const char*) {
    errno = EXDEV;
    return -1;
  };
  {
    AtomicFileSink sink(path, calls);
    const auto result = WriteMaintenanceFile(SampleRecord(), sink);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("cannot replace"), std::string::npos) << result.error;
  }
  ExpectOldFileIntact();
}

TEST_F(FailingWrite, SuccessReplacesTheFileAndLeavesNoTemporary) {
  const auto result = WriteMaintenanceFile(SampleRecord(), path);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_NE(ReadBytes(path), kOldContent);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"kept.kvd"});
}

TEST(MaintenanceFile, AMissingFolderIsReportedNotThrown) {
  TempFolder folder;
  const auto result = WriteMaintenanceFile(clsInstrument{}, folder.File("no/such/folder/x.kvd"));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("cannot create"), std::string::npos) << result.error;
}

}  // namespace
}  // namespace kv
