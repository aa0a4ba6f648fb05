#include <algorithm>

#include "cli/command.h"
#include "cli/cli_io.h"

namespace kv::cli {
namespace {

// Filled by the commands' registration constants before main() runs.
std::vector<CommandInfo>& Registry() {
  static std::vector<CommandInfo> commands;
  return commands;
}

}  // namespace

bool RegisterCommand(CommandInfo info) {
  Registry().push_back(std::move(info));
  return true;
}

std::vector<CommandInfo> RegisteredCommands() {
  std::vector<CommandInfo> commands = Registry();
  std::sort(commands.begin(), commands.end(), [](const CommandInfo& a, const CommandInfo& b) {
    if (a.group != b.group) return a.group < b.group;
    return a.name < b.name;
  });
  return commands;
}

const CommandInfo* FindCommand(std::string_view name) {
  const auto& commands = Registry();
  const auto found = std::find_if(commands.begin(), commands.end(),
                                  [name](const CommandInfo& c) { return c.name == name; });
  return found == commands.end() ? nullptr : &*found;
}

int UsageError(const CommandInfo& command, const QString& message) {
  if (!message.isEmpty()) PrintError(message);
  PrintErrorLine((QStringLiteral("usage: kvmaint ") + Text(command.name) + QLatin1Char(' ') +
                  Text(command.arguments))
                     .trimmed());
  return kExitUsage;
}

int Command::Usage(const QString& message) const {
  if (info_ == nullptr) {
    PrintError(message);
    return kExitUsage;
  }
  return UsageError(*info_, message);
}

}  // namespace kv::cli
