// The session log file: entry layout, byte dumps, a closed log.
#include <gtest/gtest.h>

#include "link/fakes.h"
#include "link/session_log.h"

namespace kv::test {
namespace {

TEST(SessionLog, FramedLineIsLoggedAsReadableText) {
  LinkHarness h;
  const std::string path = FreshTempPath("SerialLog.log");
  ASSERT_TRUE(h.link.Log().Open(path));
  h.port.Open();
  h.link.DataSend(BuildCommandLine("VP,R,"), true);
  h.link.Log().Close();
  EXPECT_EQ(ReadBytes(path), "14:07:09 > : [STX]0000VP,R,[ETX]EB[EOT]\r\n");
}

TEST(SessionLog, EntriesAppendWithTheirOwnTime) {
  ManualClock clock(DateTime{2026, 3, 5, 9, 5, 7});
  SessionLog log(clock);
  const std::string path = FreshTempPath("append.log");
  {
    std::ofstream old(path, std::ios::binary);
    old << "kept\r\n";
  }
  ASSERT_TRUE(log.Open(path));
  log.Write("first");
  EXPECT_EQ(ReadBytes(path), "kept\r\n09:05:07 first\r\n") << "flushed per entry";
  clock.AdvanceSeconds(3600 * 5 + 1);
  log.WriteBytes(std::string("\x01\xAB\x7F", 3));
  log.Close();
  log.Write("after closing");
  EXPECT_EQ(ReadBytes(path), "kept\r\n09:05:07 first\r\n14:05:08 < : [01][AB][7F]\r\n");
}

TEST(SessionLog, NeverOpenedWritesNoFile) {
  LinkHarness h;
  const std::string path = FreshTempPath("never.log");
  h.port.Open();
  h.link.DataSend(BuildCommandLine("VP,R,"), true);
  h.link.AddLog("text");
  EXPECT_FALSE(std::ifstream(path).good());
}

TEST(SessionLog, ByteArraySendIsLoggedByteByByte) {
  LinkHarness h;
  const std::string path = FreshTempPath("bytes.log");
  ASSERT_TRUE(h.link.Log().Open(path));
  h.port.Open();
  const std::string frame = BuildCommandLine("MM,C,\x03,", kEOT, "0A");
  ASSERT_TRUE(h.link.DataSendArry(frame, true));
  EXPECT_EQ(h.link.LastLineSent(), "MM,C,");
  EXPECT_FALSE(h.link.DataSendArry("short", true));
  h.link.Log().Close();
  EXPECT_EQ(ReadBytes(path), "14:07:09 > : " + BytesAsHexTags(frame) + "\r\n");
}

}  // namespace
}  // namespace kv::test
