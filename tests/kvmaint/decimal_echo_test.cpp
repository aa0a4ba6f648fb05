// A zero suppress of 10 or more: the US line carries it in decimal, the
// instrument echoes the line as sent and reports the value in hexadecimal when
// read. The upload must get past US and the value must read back unchanged.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "kvmaint/harness/inprocess_support.h"
#include "files/kvd_writer.h"

namespace kv::inproc {
namespace {

TEST(DecimalEchoTest, SendOfZeroSuppressTwelveSucceedsAndReadsBackTwelve) {
  TempDir dir;
  ASSERT_TRUE(dir.Ok());
  Simulator sim({"--state-out", dir.File("state-out.kvd")});
  ASSERT_FALSE(sim.Device().empty()) << "kvsim did not start";
  const auto run = [&](std::vector<std::string> args) {
    args.insert(args.end(), {"--port", sim.Device(), "--data-dir", dir.File("data")});
    return Kvmaint(args);
  };

  const std::string original = dir.File("original.kvd");
  ASSERT_EQ(run({"get", "--output", original}).exitCode, 0);
  clsInstrument edited = LoadRecord(original);
  constexpr int kH2sChannel = 2;
  ASSERT_NE(edited.ZeroForce(kH2sChannel), 12);
  ASSERT_TRUE(edited.SetZeroForce(kH2sChannel, 12));
  const std::string editedFile = dir.File("edited.kvd");
  ASSERT_TRUE(WriteMaintenanceFile(edited, editedFile).ok);
  ASSERT_EQ(LoadRecord(editedFile).ZeroForce(kH2sChannel), 12) << "the file keeps the value";

  const ProgramResult sent = run({"send", "--verbose", editedFile});
  ASSERT_EQ(sent.exitCode, 0) << sent.err;
  const std::vector<std::string> lines = Lines(sent.out);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "US,W"), lines.end()) << sent.out;

  const std::string reread = dir.File("reread.kvd");
  ASSERT_EQ(run({"get", "--output", reread}).exitCode, 0);
  EXPECT_EQ(LoadRecord(reread).ZeroForce(kH2sChannel), 12);
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(LoadRecord(dir.File("state-out.kvd")).ZeroForce(kH2sChannel), 12)
      << "the instrument holds the value as written";
}

}  // namespace
}  // namespace kv::inproc
