// The full read: the read list, its order and framing, how the read ends, the
// record's messages, progress; and the latest history record.
#include <gtest/gtest.h>

#include "link/read_commands.h"
#include "link/transaction_fakes.h"
#include "link/transactions.h"

namespace kv::test {
namespace {

TEST(ReadCommandTable, HoldsTwoHundredCommandsWithTheTwoGapsAndTheIndexedRuns) {
  const ReadCommandTable& table = ReadCommands();
  EXPECT_TRUE(table[56].empty());
  EXPECT_TRUE(table[201].empty());
  EXPECT_EQ(
      std::count_if(table.begin(), table.end(), [](const std::string& c) { return !c.empty(); }),
      kReadCommandLines);
  // The edges of every run: an entry written into the wrong slot shows here.
  const struct {
    int index;
    const char* command;
  } kCases[] = {
      {0, "VP,R,"},     {39, "SZ,R,"},    {55, "VS,R,"},    {57, "H2,R,"},    {58, "XZ,R,00"},
      {60, "XS,R,FF"},  {61, "XV,R,"},    {62, "G1,R,0"},   {67, "G1,R,5"},   {68, "LO,R,0"},
      {72, "LO,R,4"},   {73, "LS,R,00"},  {89, "LS,R,10"},  {90, "LI,R,00"},  {106, "LI,R,10"},
      {107, "H2,R,"},   {117, "BN,R,"},   {118, "LJ,R,00"}, {134, "LJ,R,10"}, {135, "LN,R,"},
      {136, "LB,R,00"}, {165, "LB,R,1D"}, {166, "LA,R,00"}, {200, "LA,R,22"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(table[static_cast<std::size_t>(c.index)], c.command) << "entry " << c.index;
  }
}

class GetInstrumentTest : public TransactionTest {
 protected:
  GetInstrumentTest() {
    // The record's own side effects of some replies, as the dispatcher would
    // play them: a name that the ratio channels copy, a sub-board setting, a
    // message for the user.
    AcceptEverything(h.link, [this](const std::string& key) {
      if (key == "GN,R") (void)record.SetGasName(0, "CH4");
      if (key == "GP,R") (void)record.SetGasPoint(5, 1);
      if (key == "IT,R") record.SetMessageString("Sensor type changed");
    });
  }

  clsInstrument record;
};

TEST_F(GetInstrumentTest, SendsTheWholeListInOrderAndReportsProgress) {
  record.SetFailLine("HC,R");
  EXPECT_EQ(Run(GetInstrument(h.link, record)), std::optional<bool>(true));

  const std::string firstLine(
      "\x02"
      "0000VP,R,\x03"
      "EB\x04");
  ASSERT_FALSE(h.port.writes.empty());
  EXPECT_EQ(h.port.writes.front().bytes, firstLine);
  std::vector<std::string> expected;
  for (const std::string& command : ReadCommands()) {
    if (!command.empty()) expected.push_back(command);
  }
  EXPECT_EQ(Commands(), expected);
  EXPECT_EQ(Commands().back(), "LA,R,22");

  const auto progress = h.events.Named("Progress");
  ASSERT_EQ(progress.size(), 200u);
  EXPECT_EQ(progress.front().argument, "1/200");
  EXPECT_EQ(progress.back().argument, "200/200");

  EXPECT_EQ(record.FailLine(), "");
  EXPECT_EQ(record.GasName(7), "CH4");  // ratio channels recomputed after the replies
  EXPECT_FALSE(record.Change_SubBoard());
}

TEST_F(GetInstrumentTest, RelaysEachMessageOnceAndClearsIt) {
  EXPECT_EQ(Run(GetInstrument(h.link, record)), std::optional<bool>(true));
  const auto messages = h.events.Named("InstMessage");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.front().argument, "Sensor type changed");
  EXPECT_EQ(record.MessageString(), "");
}

TEST_F(GetInstrumentTest, TheFirstFailedCommandEndsTheRead) {
  h.instrument.AnswerBy(SilentTo("GP,R,"));  // entry 22
  EXPECT_EQ(Run(GetInstrument(h.link, record)), std::optional<bool>(false));
  const std::vector<std::string>& sent = Commands();
  ASSERT_GE(sent.size(), 22u);
  EXPECT_EQ(sent[21], "GN,R,");
  // The command and its resends, nothing after them.
  EXPECT_TRUE(std::all_of(sent.begin() + 22, sent.end(),
                          [](const std::string& c) { return c == "GP,R,"; }));
  EXPECT_EQ(sent.size(), 22u + 1u + static_cast<std::size_t>(h.link.Retry()));
  EXPECT_EQ(h.events.Named("Progress").back().argument, "22/200");
  EXPECT_EQ(h.link.Status(), LinkStatus::Failed);
}

TEST_F(GetInstrumentTest, SubBoardFlagIsClearedEvenWhenTheReadFails) {
  h.instrument.AnswerBy(SilentTo("GF,R,"));  // after the sub-board setting came in
  EXPECT_EQ(Run(GetInstrument(h.link, record)), std::optional<bool>(false));
  EXPECT_EQ(record.GasPoint(5), 1);
  EXPECT_FALSE(record.Change_SubBoard());
}

TEST_F(GetInstrumentTest, AReadWhoseModemLinesDropEndsFailedAtOnce) {
  h.instrument.HangUpAfter(10);
  EXPECT_EQ(Run(GetInstrument(h.link, record)), std::optional<bool>(false));
  EXPECT_EQ(h.events.Named("LinkLost").size(), 1u);
  // The eleventh command was on its way when the lines dropped; no resend
  // and no time-out followed.
  EXPECT_EQ(Commands().size(), 11u);
  EXPECT_LE(h.port.currentTick, 12);
  EXPECT_EQ(h.link.Status(), LinkStatus::Failed);
}

TEST_F(GetInstrumentTest, CancelEndsTheReadAtTheNextTick) {
  h.instrument.SetLatencyTicks(5);
  Start(GetInstrument(h.link, record));
  h.Tick(12);  // two replies in, the third on its way
  h.link.SetCancel(true);
  h.Tick();
  EXPECT_EQ(Result(), std::optional<bool>(false));
  EXPECT_EQ(Commands().size(), 3u);
}

struct HistoryCase {
  const char* name;
  bool answered;
  bool result;
  LinkStatus statusAfter;
  std::size_t messages;
};
void PrintTo(const HistoryCase& c, std::ostream* os) { *os << c.name; }

class LatestHistoryTest : public TransactionTest,
                          public ::testing::WithParamInterface<HistoryCase> {};

TEST_P(LatestHistoryTest, RelaysItsMessageOrLeavesTheLinkReadyAfterAFailure) {
  const HistoryCase& c = GetParam();
  clsInstrument record;
  AcceptEverything(h.link, [&record](const std::string& key) {
    if (key == "SO,R") record.SetMessageString("History read");
  });
  if (!c.answered) h.instrument.AnswerBy(SilentTo("SO,R,"));
  EXPECT_EQ(Run(GetLatestHistory(h.link, record)), std::optional<bool>(c.result));
  EXPECT_EQ(Commands().front(), "SO,R,0");
  EXPECT_EQ(h.link.Status(), c.statusAfter);
  EXPECT_EQ(h.events.Named("InterMessage").size(), c.messages);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, LatestHistoryTest,
    ::testing::Values(HistoryCase{"answered", true, true, LinkStatus::Complete, 1},
                      HistoryCase{"silent", false, false, LinkStatus::Ready, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::test
