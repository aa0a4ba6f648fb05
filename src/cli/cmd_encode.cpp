// kvmaint encode PLAIN.txt --output FILE.kvd: record texts into a maintenance
// data file.
#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/kvd_files.h"
#include "files/file_sink.h"
#include "files/scramble.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

const QString kOutput = QStringLiteral("output");

class EncodeCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addOption({kOutput, QStringLiteral("The maintenance data file to write."),
                      QStringLiteral("FILE.kvd")});
    parser.addPositionalArgument(QStringLiteral("PLAIN.txt"),
                                 QStringLiteral("Record texts, one a line (LF or CR LF)."));
  }

  int Run(const QCommandLineParser& parser) override {
    if (!parser.isSet(kOutput) || parser.value(kOutput).isEmpty()) {
      return Usage(QStringLiteral("--output FILE.kvd is required"));
    }
    const QString plainPath = parser.positionalArguments().constFirst();
    const std::optional<std::string> plain = ReadWholeFile(plainPath);
    if (!plain) return kExitUsage;
    std::string scrambled;
    int lineNumber = 0;
    for (const std::string_view text : SplitLines(*plain)) {
      ++lineNumber;
      if (text.empty()) continue;  // no record
      std::string line = ScrambleLine(text);
      // Very long texts of high bytes leave the character range of the code.
      if (UnscrambleLine(line) != std::optional<std::string>(text)) {
        PrintFileError(plainPath, lineNumber, "the text is too long to scramble");
        return kExitUsage;
      }
      scrambled += line;
      scrambled += "\r\n";
    }
    const QString outputPath = parser.value(kOutput);
    AtomicFileSink sink(ToFsPath(outputPath).string());
    if (!sink.Write(scrambled) || !sink.Commit()) {
      PrintFileError(outputPath, 0, sink.Error());
      return kExitUsage;
    }
    return kExitOk;
  }
};

}  // namespace

KV_DEFINE_COMMAND(EncodeCommand, .name = "encode", .arguments = "PLAIN.txt --output FILE.kvd",
                    .summary = "Scramble record texts into a maintenance data file (CR LF lines).",
                    .details = "", .group = CommandGroup::Files, .positionalArguments = 1)

}  // namespace kv::cli
