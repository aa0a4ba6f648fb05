// A session log that cannot be written (a full disk) says so once and stops;
// the session itself goes on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/fakes.h"
#include "link/session_log.h"

namespace kv::test {
namespace {

TEST(SessionLogFailure, AFullDiskIsReportedOnce) {
  ManualClock clock(DateTime{2026, 3, 5, 9, 5, 7});
  SessionLog log(clock);
  std::vector<std::string> reports;
  log.SetFailureHandler([&reports](const std::string& reason) { reports.push_back(reason); });
  ASSERT_TRUE(log.Open("/dev/full"));
  log.Write("first");
  log.WriteBytes("\x02");
  log.Write("third");
  EXPECT_TRUE(log.Failed());
  ASSERT_EQ(reports.size(), 1U);
  EXPECT_EQ(reports.front(), "No space left on device");
}

TEST(SessionLogFailure, AReopenedLogMayFailAgainAndIsReportedAgain) {
  ManualClock clock(DateTime{2026, 3, 5, 9, 5, 7});
  SessionLog log(clock);
  int reports = 0;
  log.SetFailureHandler([&reports](const std::string&) { ++reports; });
  ASSERT_TRUE(log.Open("/dev/full"));
  log.Write("lost");
  const std::string path = FreshTempPath("reopened.log");
  ASSERT_TRUE(log.Open(path));
  EXPECT_FALSE(log.Failed());
  log.Write("kept");
  log.Close();
  EXPECT_EQ(ReadBytes(path), "09:05:07 kept\r\n");
  ASSERT_TRUE(log.Open("/dev/full"));
  log.Write("lost again");
  EXPECT_EQ(reports, 2);
}

TEST(SessionLogFailure, TheLinkKeepsWorkingWithAFailedLog) {
  LinkHarness h;
  int reports = 0;
  h.link.Log().SetFailureHandler([&reports](const std::string&) { ++reports; });
  ASSERT_TRUE(h.link.Log().Open("/dev/full"));
  h.port.Open();
  EXPECT_TRUE(h.link.DataSendArry(BuildCommandLine("VP,R,"), true));
  h.link.DataSend(BuildCommandLine("VP,R,"), true);
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(h.port.writes.size(), 2U) << "the lines still went out";
}

}  // namespace
}  // namespace kv::test
