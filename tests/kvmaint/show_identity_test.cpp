// kvmaint show of a file the history knows names its instrument and when it
// was read; of a file it does not know, says plainly that the file holds no
// serial number.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

// The first line of `text` starting with `prefix`, without it.
std::string After(const std::string& text, const std::string& prefix) {
  for (const std::string& line : Lines(text)) {
    if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
  }
  return "<none>";
}

class ShowIdentityTest : public SimulatorTest {
 protected:
  // The simulator's settings read with get, recorded in the data folder's history.
  std::string ReadBackup() {
    const ProgramResult got = Run({"get"});
    EXPECT_EQ(got.exitCode, 0) << got.err;
    return Lines(got.out).at(0);
  }

  ProgramResult Show(std::vector<std::string> args) {
    args.insert(args.begin(), "show");
    args.insert(args.end(), {"--data-dir", dir.File("data")});
    return Kvmaint(args);
  }
};

TEST_F(ShowIdentityTest, AFileTheHistoryKnowsShowsItsInstrumentAndWhenItWasRead) {
  const std::string backup = ReadBackup();
  const ProgramResult shown = Show({backup});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  ASSERT_EQ(Lines(shown.out).at(0), "[Instrument]");
  const std::string serial = After(shown.out, "Serial number: ");
  EXPECT_THAT(serial, MatchesRegex("[^ ]+")) << shown.out;
  EXPECT_THAT(After(shown.out, "Model: "), MatchesRegex("KORVIN.*"));
  EXPECT_THAT(After(shown.out, "Read: "),
              MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8} \\(history event [0-9]+, this file is that read\\)"));
  // The identity group shows the serial number too, where the file has none.
  const std::string identity = shown.out.substr(shown.out.find("[Identity]"));
  EXPECT_THAT(identity, HasSubstr("Serial number: " + serial));

  const ProgramResult json = Show({"--json", backup});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const std::optional<Json> parsed = ParseJson(json.out);
  ASSERT_TRUE(parsed) << json.out;
  EXPECT_EQ((*parsed)["instrument"]["serial"].text, serial);
  EXPECT_EQ((*parsed)["instrument"]["match"].text, "bytes");
  // The identity group alone names it too.
  const ProgramResult group = Show({"--group", "identity", backup});
  ASSERT_EQ(group.exitCode, 0) << group.err;
  EXPECT_EQ(Lines(group.out).at(0), "[Identity]");
  EXPECT_THAT(After(group.out, "Serial number: "), MatchesRegex(serial + " *"));
}

struct UnknownCase {
  const char* name;
  std::vector<std::string> options;
  const char* why;
};

class ShowUnknownFileTest : public ShowIdentityTest, public ::testing::WithParamInterface<UnknownCase> {};

TEST_P(ShowUnknownFileTest, SaysTheFileHoldsNoSerialNumber) {
  const std::string backup = ReadBackup();
  // The same instrument's settings, changed since the read.
  const std::string edited = dir.File("edited.kvd");
  std::filesystem::copy_file(backup, edited);
  ASSERT_EQ(Kvmaint({"set", edited, "LCD Contrast(0-15)=3"}).exitCode, 0);
  std::vector<std::string> args = GetParam().options;
  args.push_back(edited);
  const ProgramResult shown = Show(args);
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_EQ(After(shown.out, "Serial number: "),
            std::string("not known: the file does not hold the serial number") + GetParam().why);
  EXPECT_THAT(shown.out, HasSubstr("\n[Identity]\nSerial number:")) << "the groups follow as before";
}

INSTANTIATE_TEST_SUITE_P(
    Show, ShowUnknownFileTest,
    ::testing::Values(
        UnknownCase{"NotInTheHistory", {}, ", and no instrument's latest read in the history holds these settings"},
        UnknownCase{"HistoryOff", {"--history", "off"}, " (history not asked: the history is off)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::inproc
