// kvmaint's command line: finds the command in the command table, parses its
// options and runs it.
#include "cli/cli_main.h"

#include <QStringList>

#include "cli/cli_io.h"
#include "cli/command.h"

namespace kv::cli {
namespace {

QString CommandList() {
  QString text;
  CommandGroup group = CommandGroup::Files;
  bool first = true;
  for (const CommandInfo& command : AllCommands()) {
    if (first || command.group != group) {
      group = command.group;
      text += group == CommandGroup::Files
                  ? QStringLiteral("\nFile commands:\n")
                  : QStringLiteral("\nInstrument commands (those that talk to it take --port, "
                                   "--timeout,\n--retry, --log, --data-dir, --quiet and --verbose; "
                                   "progress goes to stderr\nwhen it is a terminal; see COMMAND "
                                   "--help):\n");
      first = false;
    }
    const QString synopsis = Text(command.name) + QLatin1Char(' ') + Text(command.arguments);
    text += QStringLiteral("  %1\n      %2\n").arg(synopsis.trimmed(), Text(command.summary));
  }
  return text;
}

void PrintGlobalHelp() {
  WriteStdout(Bytes(QStringLiteral("kvmaint: KORVIN maintenance from the command line.\n\n"
                                   "usage: kvmaint COMMAND [options] [arguments]\n"
                                   "       kvmaint --help | --version\n") +
                    CommandList() +
                    QStringLiteral("\nExit status: 0 done, 1 failed (or files differ), 2 usage or "
                                   "file error, 130 interrupted.\n")));
}

int GlobalUsageError(const QString& message) {
  if (!message.isEmpty()) PrintError(message);
  PrintErrorLine(QStringLiteral("usage: kvmaint COMMAND [options] [arguments]   (kvmaint --help)"));
  return kExitUsage;
}

void PrintCommandHelp(const CommandInfo& command, const QCommandLineParser& parser) {
  QString help = parser.helpText();
  // Qt's first line names the program file; the command's own usage replaces it.
  help = help.mid(help.indexOf(QLatin1Char('\n')) + 1);
  const QString usage =
      QStringLiteral("usage: kvmaint %1 [options] %2").arg(Text(command.name), Text(command.arguments));
  QString text = usage.trimmed() + QStringLiteral("\n\n") + Text(command.summary) + QLatin1Char('\n');
  if (!command.details.empty()) text += Text(command.details) + QLatin1Char('\n');
  WriteStdout(Bytes(text + help));
}

int RunCommand(const CommandInfo& info, const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption help = parser.addHelpOption();
  std::unique_ptr<Command> command = info.make();
  command->SetInfo(&info);
  command->Declare(parser);
  if (!parser.parse(arguments)) return UsageError(info, parser.errorText());
  if (parser.isSet(help)) {
    PrintCommandHelp(info, parser);
    return kExitOk;
  }
  const qsizetype given = parser.positionalArguments().size();
  const bool tooMany = given > info.positionalArguments && !info.moreArguments;
  if (given < info.positionalArguments || tooMany) {
    return UsageError(info, given < info.positionalArguments
                                ? QStringLiteral("missing argument")
                                : QStringLiteral("unexpected argument \"%1\"")
                                      .arg(parser.positionalArguments().constLast()));
  }
  return command->Run(parser);
}

}  // namespace

int RunKvmaint(const QStringList& arguments) { return RunKvmaint(arguments, ProcessContext()); }

int RunKvmaint(const QStringList& arguments, const CliContext& context) {
  const ContextScope scope(context);
  QCommandLineParser parser;
  // Everything after the command's name belongs to the command.
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  if (!parser.parse(arguments)) return GlobalUsageError(parser.errorText());
  if (parser.isSet(help)) {
    PrintGlobalHelp();
    return kExitOk;
  }
  if (parser.isSet(version)) {
    PrintLine(std::string("kvmaint ") + std::string(kVersion));
    return kExitOk;
  }
  const QStringList rest = parser.positionalArguments();
  if (rest.isEmpty()) return GlobalUsageError(QStringLiteral("no command given"));
  const CommandInfo* command = FindCommand(Bytes(rest.constFirst()));
  if (command == nullptr) {
    return GlobalUsageError(QStringLiteral("unknown command \"%1\"").arg(rest.constFirst()));
  }
  QStringList commandArguments = rest.mid(1);
  commandArguments.prepend(arguments.constFirst());
  return RunCommand(*command, commandArguments);
}

}  // namespace kv::cli

