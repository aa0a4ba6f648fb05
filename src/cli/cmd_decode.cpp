// kvmaint decode FILE.kvd: the record texts of a maintenance data file.
#include <limits>

#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/kvd_files.h"
#include "files/kvd_reader.h"
#include "files/scramble.h"

namespace kv::cli {
namespace {

class DecodeCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"), QStringLiteral("The maintenance data file."));
  }

  int Run(const QCommandLineParser& parser) override {
    const QString path = parser.positionalArguments().constFirst();
    const std::optional<std::string> content = ReadWholeFile(path);
    if (!content) return kExitUsage;
    // The reader says where the file stops being usable; the texts before
    // that line are printed, the rest is not.
    clsInstrument scratch;
    const KvdLoadResult loaded = ReadMaintenanceText(scratch, *content);
    const int stopLine = loaded.complete ? std::numeric_limits<int>::max() : loaded.stoppedAtLine;
    std::string out;
    int lineNumber = 0;
    for (const std::string_view line : SplitLines(*content)) {
      if (++lineNumber >= stopLine) break;
      if (line.empty()) continue;  // a blank line carries no record
      const std::optional<std::string> text = UnscrambleLine(line);
      if (!text) break;  // the reader has stopped here already
      out += *text;
      out += '\n';
    }
    WriteStdout(out);
    if (loaded.complete) return kExitOk;
    PrintFileError(path, loaded.stoppedAtLine, "the file stops here: " + loaded.reason);
    return kExitUsage;
  }
};

}  // namespace

KV_REGISTER_COMMAND(DecodeCommand, .name = "decode", .arguments = "FILE.kvd",
                    .summary = "Print the record texts of a maintenance data file, one a line.",
                    .details = "A file that stops early: the lines before the bad one are printed,\n"
                               "the error goes to stderr with the line number, exit status 2.",
                    .group = CommandGroup::Files, .positionalArguments = 1)

}  // namespace kv::cli
