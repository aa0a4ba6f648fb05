// The simulator on a real pseudo-terminal: requests written to the slave
// device are answered there, byte for byte, however the port is opened and
// closed.
#include <thread>

#include "pty_fixture.h"
#include "sim/pty_server.h"
#include "sim_fixture.h"

namespace kv::sim::testing {
namespace {

class SimPtyTest : public ::testing::Test {
 protected:
  void Serve(ServeOptions options = {}, FaultPlan faults = {}) {
    std::string error;
    ASSERT_TRUE(port.Open(&error)) << error;
    ASSERT_EQ(::pipe(stopPipe), 0);
    sim = std::make_unique<SimInstrument>(clock, MakeDemoInstrument(), SimDeviceOptions{},
                                          std::move(faults));
    server = std::make_unique<PtyServer>(port, *sim, options);
    serving = std::thread([this] { server->Run(stopPipe[0]); });
  }
  void TearDown() override {
    if (serving.joinable()) {
      const char byte = 1;
      EXPECT_EQ(::write(stopPipe[1], &byte, 1), 1);
      serving.join();
    }
    for (const int fd : stopPipe) {
      if (fd >= 0) ::close(fd);
    }
  }

  ManualClock clock{DateTime{2026, 3, 5, 14, 7, 9}};
  PtyPort port;
  std::unique_ptr<SimInstrument> sim;
  std::unique_ptr<PtyServer> server;
  std::thread serving;
  int stopPipe[2] = {-1, -1};
};

std::string Framed(std::string_view text) { return BuildCommandLine(text, kEOT, "00"); }

TEST_F(SimPtyTest, ReadCommandIsAnsweredOnTheSlave) {
  Serve();
  const int fd = OpenPort(port.SlavePath());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(AskPort(fd, "VP,R,"), Framed("VP,R,3021,"));
  ::close(fd);
}

// EOT, ETX, NAK, ETB and SUB are also a terminal's special characters: a
// line that is not raw would swallow or act on them.
TEST_F(SimPtyTest, ControlCharactersCrossTheLineUntouched) {
  Serve();
  const int fd = OpenPort(port.SlavePath());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(AskPort(fd, "ZZ,R,"), Framed(std::string("ZZ,R,") + kNAK));
  EXPECT_EQ(AskPort(fd, "SZ,C,"), Framed(std::string("SZ,C,") + kSUB));
  EXPECT_EQ(AskPort(fd, "RO,W,"), Framed(std::string("RO,W,") + kACK));
  ::close(fd);
}

TEST_F(SimPtyTest, PortCanBeClosedAndOpenedAgain) {
  Serve();
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const int fd = OpenPort(port.SlavePath());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(AskPort(fd, "UJ,R,"), Framed("UJ,R,1,"));
    ::close(fd);
  }
}

TEST_F(SimPtyTest, BaudRateHoldsTheReplyForTheLineTime) {
  Serve({.baud = 1200});
  const int fd = OpenPort(port.SlavePath());
  ASSERT_GE(fd, 0);
  const auto start = std::chrono::steady_clock::now();
  const std::string reply = AskPort(fd, "VP,R,");
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(reply, Framed("VP,R,3021,"));
  // 14 request and 18 reply bytes of 10 bits at 1200 baud: 267 ms.
  EXPECT_GE(elapsed, std::chrono::milliseconds(260));
  ::close(fd);
}

TEST_F(SimPtyTest, HangUpClosesTheLineAfterTheReply) {
  FaultPlan faults;
  faults.Add({FaultKind::HangUp, 1});
  Serve({}, faults);
  const int fd = OpenPort(port.SlavePath());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(AskPort(fd, "VP,R,"), Framed("VP,R,3021,"));
  pollfd p{fd, POLLIN, 0};
  ASSERT_EQ(::poll(&p, 1, 2000), 1);
  EXPECT_NE(p.revents & POLLHUP, 0);
  ::close(fd);
}

}  // namespace
}  // namespace kv::sim::testing
