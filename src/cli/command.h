#pragma once
// A kvmaint command: one class per command, each in its own file, described
// there with one line (KV_DEFINE_COMMAND) and listed in the command table
// (command_table.cpp). RunKvmaint finds the command by name, lets it declare
// its options, parses the command line and runs it.
#include <QCommandLineParser>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;      // the instrument did not do it, or files differ (diff)
inline constexpr int kExitUsage = 2;        // bad command line, or a file that cannot be used
inline constexpr int kExitInterrupted = 130;

struct CommandInfo;

class Command {
 public:
  virtual ~Command() = default;
  // Adds the command's own options to the parser.
  virtual void Declare(QCommandLineParser& parser) = 0;
  // Runs with the parsed command line (positional arguments already counted);
  // returns the exit status.
  virtual int Run(const QCommandLineParser& parser) = 0;

  void SetInfo(const CommandInfo* info) { info_ = info; }

 protected:
  // The name the command was called by ("clear-log").
  std::string_view CommandName() const;
  // A usage error of this command: the message and the usage line on stderr.
  int Usage(const QString& message) const;

 private:
  const CommandInfo* info_ = nullptr;
};

enum class CommandGroup { Files, Instrument };

struct CommandInfo {
  std::string_view name;
  std::string_view arguments;  // what follows the name in the usage line
  std::string_view summary;    // one line for the list of commands
  std::string details;         // further help text of the command; may be empty
  CommandGroup group;
  int positionalArguments;     // exactly this many (at least, with moreArguments)
  bool moreArguments = false;
  std::function<std::unique_ptr<Command>()> make;
};

inline std::string_view Command::CommandName() const {
  return info_ == nullptr ? "kvmaint" : info_->name;
}

// Every command of the table, files first, then by name.
const std::vector<CommandInfo>& AllCommands();
const CommandInfo* FindCommand(std::string_view name);

// "usage: kvmaint NAME ARGUMENTS" on stderr, after "kvmaint: message" when
// the message is not empty; returns kExitUsage.
int UsageError(const CommandInfo& command, const QString& message);

}  // namespace kv::cli

// Defines `CommandInfo TypeInfo()` (inside namespace kv::cli) for command
// class `Type` with the designated fields of its CommandInfo, all but `make`.
// The command table lists every such function, so a command file left out of
// the build is a link error, never a command silently missing.
#define KV_DEFINE_COMMAND(Type, ...)                                           \
  CommandInfo Type##Info() {                                                   \
    return CommandInfo{__VA_ARGS__, .make = [] {                               \
      return std::unique_ptr<Command>(std::make_unique<Type>());               \
    }};                                                                        \
  }
