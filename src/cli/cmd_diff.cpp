// kvmaint diff A.kvd B.kvd: the settings in which two maintenance data files differ.
#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/json_text.h"
#include "cli/kvd_files.h"
#include "rules/setting_display.h"

namespace kv::cli {
namespace {

const QString kJson = QStringLiteral("json");

std::string DifferenceJson(const SettingInfo& setting, const clsInstrument& a,
                           const clsInstrument& b, int index) {
  return "  {\"name\": " + JsonString(SettingCaption(setting, a, index)) +
         ", \"setting\": " + JsonString(SettingLabel(setting, index)) +
         ", \"old\": " + JsonString(DisplayValue(setting, a, index)) +
         ", \"new\": " + JsonString(DisplayValue(setting, b, index)) +
         ", \"old_value\": " + JsonValue(ToViewValue(setting.get(a, index))) +
         ", \"new_value\": " + JsonValue(ToViewValue(setting.get(b, index))) + "}";
}

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
    const bool json = parser.isSet(kJson);
    std::string out;
    int differences = 0;
    for (const SettingInfo& setting : AllSettings()) {
      for (int i = 0; i < setting.count; ++i) {
        if (setting.get(a, i) == setting.get(b, i)) continue;
        if (json) {
          out += (differences == 0 ? "" : ",\n") + DifferenceJson(setting, a, b, i);
        } else {
          out += SettingCaption(setting, a, i) + ": " + DisplayValue(setting, a, i) + " -> " +
                 DisplayValue(setting, b, i) + "\n";
        }
        ++differences;
      }
    }
    if (json) out = differences == 0 ? "[]\n" : "[\n" + out + "\n]\n";
    WriteStdout(out);
    return differences == 0 ? kExitOk : kExitFailure;
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
