// kvmaint decode FILE.kvd: the record texts of a maintenance data file.
#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/kvd_files.h"
#include "files/kvd_reader.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

class DecodeCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"), QStringLiteral("The maintenance data file."));
  }

  int Run(const QCommandLineParser& parser) override {
    const QString path = parser.positionalArguments().constFirst();
    // The file is read line by line; the texts of the lines before the one
    // where the reader stops are printed, the rest is not.
    std::string out;
    clsInstrument scratch;
    const KvdLoadResult loaded = ReadMaintenanceFile(
        scratch, ToFsPath(path).string(), [&out](int, std::string_view text) {
          out += text;
          out += '\n';
        });
    WriteStdout(out);
    return ReportLoad(path, loaded) ? kExitOk : kExitUsage;
  }
};

}  // namespace

KV_DEFINE_COMMAND(DecodeCommand, .name = "decode", .arguments = "FILE.kvd",
                    .summary = "Print the record texts of a maintenance data file, one a line.",
                    .details = "A file that stops early: the lines before the bad one are printed,\n"
                               "the error goes to stderr with the line number, exit status 2.",
                    .group = CommandGroup::Files, .positionalArguments = 1)

}  // namespace kv::cli
