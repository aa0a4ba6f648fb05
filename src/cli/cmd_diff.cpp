// kvmaint diff A.kvd B.kvd: the settings in which two maintenance data files differ.
#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/kvd_files.h"
#include "cli/setting_differences.h"

namespace kv::cli {
namespace {

const QString kJson = QStringLiteral("json");

class DiffCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addOption({kJson, QStringLiteral("Print a JSON array for scripts.")});
    parser.addPositionalArgument(QStringLiteral("A.kvd"), QStringLiteral("The first file."));
    parser.addPositionalArgument(QStringLiteral("B.kvd"), QStringLiteral("The second file."));
  }

  int Run(const QCommandLineParser& parser) override {
    const QStringList paths = parser.positionalArguments();
    clsInstrument a;
    clsInstrument b;
    if (!LoadMaintenanceFile(a, paths[0]) || !LoadMaintenanceFile(b, paths[1])) return kExitUsage;
    const DifferenceListing differences = ListDifferences(a, b, parser.isSet(kJson));
    WriteStdout(differences.text);
    return differences.count == 0 ? kExitOk : kExitFailure;
  }
};

}  // namespace

KV_DEFINE_COMMAND(DiffCommand, .name = "diff", .arguments = "[--json] A.kvd B.kvd",
                    .summary = "Print every setting in which two maintenance data files differ.",
                    .details = "One line a setting: its display name (with the channel's gas name\n"
                               "or the 1-based entry), then A-value -> B-value. --json prints an array\n"
                               "of {name, setting, old, new, old_value, new_value}: display name,\n"
                               "setting and index, the values as shown and as typed values.\n"
                               "Exit status 0 identical, 1 different, 2 a file cannot be read.",
                    .group = CommandGroup::Files, .positionalArguments = 2)

}  // namespace kv::cli
