// The command table: every kvmaint command, listed once.
#include <algorithm>

#include "cli/cli_io.h"
#include "cli/command.h"

namespace kv::cli {

// Defined by KV_DEFINE_COMMAND in the commands' own files.
CommandInfo ClearLogCommandInfo();
CommandInfo DecodeCommandInfo();
CommandInfo DiffCommandInfo();
CommandInfo DumpCommandInfo();
CommandInfo EncodeCommandInfo();
CommandInfo ExportCsvCommandInfo();
CommandInfo FleetCommandInfo();
CommandInfo GetCommandInfo();
CommandInfo HistoryCommandInfo();
CommandInfo ImportCsvCommandInfo();
CommandInfo LiveCommandInfo();
CommandInfo PortsCommandInfo();
CommandInfo PowerOffCommandInfo();
CommandInfo ReportCommandInfo();
CommandInfo SendCommandInfo();
CommandInfo SetClockCommandInfo();
CommandInfo SetCommandInfo();
CommandInfo ShowCommandInfo();
CommandInfo SpanCommandInfo();
CommandInfo StationCommandInfo();
CommandInfo ZeroCommandInfo();
CommandInfo FactoryResetCommandInfo();
CommandInfo LoadDefaultsCommandInfo();
CommandInfo PumpCommandInfo();
CommandInfo CalHistoryCommandInfo();
CommandInfo InitCommandInfo();

const std::vector<CommandInfo>& AllCommands() {
  static const std::vector<CommandInfo> commands = [] {
    std::vector<CommandInfo> table{
        ClearLogCommandInfo(), DecodeCommandInfo(),   DiffCommandInfo(),
        EncodeCommandInfo(),   GetCommandInfo(),      LiveCommandInfo(),
        PortsCommandInfo(),    PowerOffCommandInfo(), SendCommandInfo(),
        SetClockCommandInfo(), SetCommandInfo(),      ShowCommandInfo(),
        SpanCommandInfo(),     ZeroCommandInfo(),     ExportCsvCommandInfo(),
        ImportCsvCommandInfo(), DumpCommandInfo(),
        FactoryResetCommandInfo(), LoadDefaultsCommandInfo(), PumpCommandInfo(),
        CalHistoryCommandInfo(), InitCommandInfo(),
        ReportCommandInfo(),
        HistoryCommandInfo(),
        FleetCommandInfo(),
        StationCommandInfo(),
    };
    std::sort(table.begin(), table.end(), [](const CommandInfo& a, const CommandInfo& b) {
      if (a.group != b.group) return a.group < b.group;
      return a.name < b.name;
    });
    return table;
  }();
  return commands;
}

const CommandInfo* FindCommand(std::string_view name) {
  const auto& commands = AllCommands();
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
