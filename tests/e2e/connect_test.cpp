// kvmaint on real ports: a pseudo-terminal nobody answers on, a device that
// does not exist, and no port at all.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "e2e_support.h"

namespace kv::e2e {
namespace {

using ::testing::HasSubstr;

TEST(ConnectTest, APortWithoutInstrumentFailsWithTheNoResponseText) {
  // A pseudo-terminal nobody answers on.
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::string device = ::ptsname(master);
  // One try (about a second of real time): the retries before giving up are
  // counted on a manual clock in the link's own tests.
  const ProgramResult result = Kvmaint({"get", "--port", device, "--retry", "1"});
  ::close(master);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_THAT(result.err, HasSubstr("KORVIN No Response. Check Port,Cable And Power."));
}

TEST(ConnectTest, APortThatCannotBeOpenedIsAFailure) {
  const ProgramResult result = Kvmaint({"get", "--port", "/dev/kvmaint-no-such-port"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_THAT(result.err, HasSubstr("/dev/kvmaint-no-such-port"));
}

TEST(ConnectTest, WithoutAdapterOrPortTheUserIsToldToGiveOne) {
  const ProgramResult ports = Kvmaint({"ports"});
  ASSERT_EQ(ports.exitCode, 0);
  if (ports.out.find("infrared adapter") != std::string::npos) {
    GTEST_SKIP() << "this machine has an infrared adapter";
  }
  const ProgramResult result = Kvmaint({"power-off"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_THAT(result.err, HasSubstr("no infrared adapter found; give --port DEVICE"));
}

}  // namespace
}  // namespace kv::e2e
