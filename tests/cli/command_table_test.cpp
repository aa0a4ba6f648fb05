// kvmaint's command line parsed in-process through the command table: every
// command is there, and usage errors and help end as they should before
// anything touches a file or a port.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_main.h"
#include "cli/command.h"

namespace kv::cli {
namespace {

// QCommandLineParser's help and version need the application object.
class CommandLine : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "kvmaint";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
      static QCoreApplication application(argc, argv);
      QCoreApplication::setApplicationName(QStringLiteral("kvmaint"));
    }
  }

  struct Run {
    int status;
    std::string out, err;
  };

  static Run Kvmaint(const std::vector<std::string>& args) {
    QStringList arguments{QStringLiteral("kvmaint")};
    for (const std::string& arg : args) arguments << QString::fromStdString(arg);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = RunKvmaint(arguments);
    std::string out = testing::internal::GetCapturedStdout();
    std::string err = testing::internal::GetCapturedStderr();
    return {status, std::move(out), std::move(err)};
  }
};

TEST_F(CommandLine, TheTableHoldsEveryCommandOnceFilesFirst) {
  const std::vector<std::string> expected = {
      "decode",    "diff",      "encode",    "export-csv",    "fleet",     "history",    "import-csv", "report",
      "set",       "show",      "cal-history", "clear-log", "dump",        "factory-reset", "get",
      "init",      "live",      "load-defaults", "ports",     "power-off",  "pump",
      "send",      "set-clock", "span",      "station",   "zero"};
  std::vector<std::string> names;
  for (const CommandInfo& command : AllCommands()) names.emplace_back(command.name);
  EXPECT_EQ(names, expected);
  for (const std::string& name : expected) {
    const CommandInfo* found = FindCommand(name);
    ASSERT_NE(found, nullptr) << name;
    EXPECT_EQ(found->name, name);
    EXPECT_TRUE(found->make()) << name << " makes its command";
  }
  EXPECT_EQ(FindCommand("registry"), nullptr);
}

TEST_F(CommandLine, GlobalHelpListsEveryCommand) {
  const Run help = Kvmaint({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  for (const CommandInfo& command : AllCommands()) {
    const std::string name(command.name);
    const bool listed = help.out.find("\n  " + name + " ") != std::string::npos ||
                        help.out.find("\n  " + name + "\n") != std::string::npos;
    EXPECT_TRUE(listed) << name;
  }
}

struct ParseCase {
  const char* what;
  std::vector<std::string> args;
  int status;
  const char* stderrPart;  // "" for no output on stderr
  const char* stdoutPart;
};

class Parsing : public CommandLine, public testing::WithParamInterface<ParseCase> {};

TEST_P(Parsing, EndsAsExpected) {
  const ParseCase& c = GetParam();
  const Run run = Kvmaint(c.args);
  EXPECT_EQ(run.status, c.status) << run.err;
  if (std::string(c.stderrPart).empty()) {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_NE(run.err.find(c.stderrPart), std::string::npos) << run.err;
  }
  EXPECT_NE(run.out.find(c.stdoutPart), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Parsing,
    testing::Values(
        ParseCase{"no command", {}, kExitUsage, "no command given", ""},
        ParseCase{"unknown command", {"fetch"}, kExitUsage, "unknown command \"fetch\"", ""},
        ParseCase{"missing argument", {"decode"}, kExitUsage, "usage: kvmaint decode FILE.kvd", ""},
        ParseCase{"one argument too many", {"diff", "a", "b", "c"}, kExitUsage, "unexpected argument \"c\"", ""},
        ParseCase{"unknown option", {"encode", "--fast", "x"}, kExitUsage, "usage: kvmaint encode", ""},
        ParseCase{"encode without output", {"encode", "plain.txt"}, kExitUsage, "--output FILE.kvd is required", ""},
        ParseCase{"get with an empty output", {"get", "--output", ""}, kExitUsage, "--output needs a file name", ""},
        ParseCase{"command help", {"send", "--help"}, kExitOk, "", "usage: kvmaint send [options]"},
        ParseCase{"help names the checks", {"send", "--help"}, kExitOk, "", "The whole file is checked first"},
        ParseCase{"set without an edit", {"set", "a.kvd"}, kExitUsage, "missing argument", ""},
        ParseCase{"set help shows the naming", {"set", "--help"}, kExitOk, "", "CO.Warning=35"},
        ParseCase{"span takes no file", {"span", "x.kvd"}, kExitUsage, "unexpected argument \"x.kvd\"", ""},
        ParseCase{"init needs its file", {"init", "--yes"}, kExitUsage, "usage: kvmaint init", ""},
        ParseCase{"pump needs a state", {"pump"}, kExitUsage, "usage: kvmaint pump on|off", ""},
        ParseCase{"version", {"--version"}, kExitOk, "", "kvmaint 1.0.0"}));

}  // namespace
}  // namespace kv::cli
