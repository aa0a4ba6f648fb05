// The writer's output for the sample record against record texts written out
// by hand from the layouts, so that a mistake shared by writer and reader
// cannot hide behind a round trip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "files/kvd_writer.h"
#include "support/sample_record.h"
#include "files/scramble.h"
#include "support/temp_folder.h"

namespace kv {
namespace {

using testsupport::ReadBytes;
using testsupport::SampleRecord;
using testsupport::TempFolder;

std::vector<std::string> SplitLines(const std::string& text, const std::string& end) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (auto stop = text.find(end); stop != std::string::npos; stop = text.find(end, start)) {
    lines.push_back(text.substr(start, stop - start));
    start = stop + end.size();
  }
  EXPECT_EQ(start, text.size()) << "text after the last line end";
  return lines;
}

// KV_SOURCE_DIR is the source tree, compiled in by the build.
std::string GoldenPath() { return std::string(KV_SOURCE_DIR) + "/tests/files/data/golden_record.txt"; }

TEST(GoldenFile, TheWrittenFileDecodesToTheHandWrittenRecordTexts) {
  const auto golden = SplitLines(ReadBytes(GoldenPath()), "\n");
  ASSERT_EQ(golden.size(), 341U) << GoldenPath();

  TempFolder folder;
  const std::string path = folder.File("sample.kvd");
  const auto written = WriteMaintenanceFile(SampleRecord(), path);
  ASSERT_TRUE(written.ok) << written.error;
  const auto scrambled = SplitLines(ReadBytes(path), "\r\n");
  ASSERT_EQ(scrambled.size(), golden.size());

  for (std::size_t i = 0; i < golden.size(); ++i) {
    const auto decoded = UnscrambleLine(scrambled[i]);
    ASSERT_TRUE(decoded.has_value()) << "line " << i + 1;
    EXPECT_EQ(*decoded, golden[i]) << "line " << i + 1;
  }
}

}  // namespace
}  // namespace kv
