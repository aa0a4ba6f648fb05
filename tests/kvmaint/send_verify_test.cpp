// kvmaint send reads the instrument back and names a setting it holds
// otherwise than sent; --no-verify leaves the read-back out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "files/kvd_writer.h"
#include "kvmaint/harness/inprocess_support.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct VerifyCase {
  const char* name;
  std::vector<std::string> simOptions;
  std::vector<std::string> sendOptions;
  int exitCode;
  const char* stdoutEnd;      // the summary line's end
  const char* stderrNames;    // "" when nothing is named
};

class SendVerification : public ::testing::TestWithParam<VerifyCase> {};

TEST_P(SendVerification, ExitsByWhatTheInstrumentHolds) {
  TempDir dir;
  Simulator sim(GetParam().simOptions);
  ASSERT_FALSE(sim.Device().empty()) << sim.Error();
  const auto run = [&](std::vector<std::string> args) {
    args.insert(args.end(), {"--port", sim.Device(), "--data-dir", dir.File("data")});
    return Kvmaint(args);
  };
  const ProgramResult got = run({"get"});
  ASSERT_EQ(got.exitCode, 0) << got.err;
  clsInstrument record = LoadRecord(Lines(got.out).at(0));
  record.SetLcdBackLight(static_cast<Integer>(record.LcdBackLight() == 10 ? 11 : 10));
  const std::string file = dir.File("edited.kvd");
  ASSERT_TRUE(WriteMaintenanceFile(record, file).ok);

  std::vector<std::string> args{"send"};
  args.insert(args.end(), GetParam().sendOptions.begin(), GetParam().sendOptions.end());
  args.push_back(file);
  const ProgramResult sent = run(args);
  EXPECT_EQ(sent.exitCode, GetParam().exitCode) << sent.err;
  EXPECT_THAT(Lines(sent.out).back(), ::testing::EndsWith(GetParam().stdoutEnd));
  if (*GetParam().stderrNames == '\0') {
    EXPECT_THAT(sent.err, Not(HasSubstr("not as")));
  } else {
    EXPECT_THAT(sent.err, HasSubstr(GetParam().stderrNames));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sends, SendVerification,
    ::testing::Values(
        VerifyCase{"HeldAsSent", {}, {}, 0, " s; verified", ""},
        VerifyCase{"StoredWrongly", {"--store-wrong", "XT"}, {}, 1, " s; verified",
                   "not as sent: LCD Backlight Time(0-255sec): sent 10, holds 11"},
        VerifyCase{"StoredWronglyOnlyChanges", {"--store-wrong", "XT"}, {"--only-changes"}, 1, " s; verified",
                   "1 setting not as transmitted: LCD Backlight Time(0-255sec)"},
        VerifyCase{"StoredWronglyUnverified", {"--store-wrong", "XT"}, {"--no-verify"}, 0, " s", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::inproc
