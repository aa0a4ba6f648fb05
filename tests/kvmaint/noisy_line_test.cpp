// An infrared line whose turnaround puts a NUL in front of every reply: kvmaint
// connects at the first probe and reads the same file as on a clean line,
// without a single resend.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string ReadThrough(const std::vector<std::string>& simOptions, const TempDir& dir,
                        const std::string& name, std::string* log) {
  Simulator sim(simOptions);
  EXPECT_FALSE(sim.Device().empty()) << "kvsim did not start";
  const std::string file = dir.File(name + ".kvd");
  const std::string logFile = dir.File(name + ".log");
  const ProgramResult read =
      Kvmaint({"get", "--port", sim.Device(), "--output", file, "--log", logFile});
  EXPECT_FALSE(read.timedOut) << "kvmaint hung";
  EXPECT_EQ(read.exitCode, 0) << read.err;
  *log = ReadBytes(logFile);
  return ReadBytes(file);
}

TEST(NoisyLineTest, NulBeforeEveryReplyConnectsAndReadsCompletely) {
  TempDir dir;
  ASSERT_TRUE(dir.Ok());
  std::string cleanLog;
  const std::string clean = ReadThrough({}, dir, "clean", &cleanLog);
  ASSERT_FALSE(clean.empty());

  std::string noisyLog;
  const std::string noisy = ReadThrough({"--noise-before-reply"}, dir, "noisy", &noisyLog);
  EXPECT_TRUE(noisy == clean) << "the noisy line read a different file";

  EXPECT_THAT(noisyLog, HasSubstr("< : [00][STX]0000RC,R,KORVIN")) << "the noise arrived";
  const auto count = [](const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(noisyLog, "> : [STX]0000RC,R,"), 1U) << "connected at the first probe";
  EXPECT_EQ(count(noisyLog, "> : "), count(cleanLog, "> : ")) << "nothing was resent";
  EXPECT_THAT(noisyLog, Not(HasSubstr("<<< Reply to another command ignored >>>")));
  EXPECT_THAT(noisyLog, Not(HasSubstr("<<< Response error >>>")));
}

}  // namespace
}  // namespace kv::inproc
