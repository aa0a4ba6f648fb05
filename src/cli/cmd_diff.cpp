// kvmaint diff A.kvd B.kvd: the settings in which two maintenance data files differ.
#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/kvd_files.h"
#include "cli/setting_display.h"

namespace kv::cli {
namespace {

class DiffCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addPositionalArgument(QStringLiteral("A.kvd"), QStringLiteral("The first file."));
    parser.addPositionalArgument(QStringLiteral("B.kvd"), QStringLiteral("The second file."));
  }

  int Run(const QCommandLineParser& parser) override {
    const QStringList paths = parser.positionalArguments();
    clsInstrument a;
    clsInstrument b;
    if (!LoadMaintenanceFile(a, paths[0]) || !LoadMaintenanceFile(b, paths[1])) return kExitUsage;
    std::string out;
    for (const SettingInfo& setting : AllSettings()) {
      for (int i = 0; i < setting.count; ++i) {
        if (setting.get(a, i) == setting.get(b, i)) continue;
        out += SettingCaption(setting, a, i) + ": " + DisplayValue(setting, a, i) + " -> " +
               DisplayValue(setting, b, i) + "\n";
      }
    }
    WriteStdout(out);
    return out.empty() ? kExitOk : kExitFailure;
  }
};

}  // namespace

KV_DEFINE_COMMAND(DiffCommand, .name = "diff", .arguments = "A.kvd B.kvd",
                    .summary = "Print every setting in which two maintenance data files differ.",
                    .details = "One line a setting: its display name (with the channel's gas name\n"
                               "or the 1-based entry), then A-value -> B-value.\n"
                               "Exit status 0 identical, 1 different, 2 a file cannot be read.",
                    .group = CommandGroup::Files, .positionalArguments = 2)

}  // namespace kv::cli
