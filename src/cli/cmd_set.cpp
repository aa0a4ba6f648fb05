// kvmaint set FILE.kvd NAME=VALUE...: edits settings of a maintenance data
// file by name, each judged by the window's rule for its cell.
#include <cmath>
#include <type_traits>
#include <variant>

#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/kvd_files.h"
#include "cli/setting_names.h"
#include "files/kvd_writer.h"
#include "qtedge/data_folder.h"
#include "rules/edit_check.h"
#include "rules/other_setting_rules.h"
#include "rules/setting_rules.h"

namespace kv::cli {
namespace {

// The accepted entry as the value the setting holds. A choice is kept as its
// list index; a text setting chosen from a list keeps the index as digits (the
// language). An empty entry a rule keeps changes nothing.
std::optional<SettingValue> ValueOf(const SettingValue& current, const NamedSetting& setting,
                                    const rules::EditCheck& check) {
  const rules::OtherSettingRule* row = rules::OtherSettingBySetting(setting.ref.name);
  const bool choice = row != nullptr && row->list != rules::OtherChoiceList::None;
  return std::visit(
      [&](const auto& held) -> std::optional<SettingValue> {
        using Type = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Type, kv::Text>) {
          if (choice && check.number) return SettingValue(std::to_string(std::lround(*check.number)));
          return SettingValue(check.text);
        } else {
          if (!check.number) return std::nullopt;
          if constexpr (std::is_same_v<Type, bool>) {
            return *check.number != 0;
          } else if constexpr (std::is_integral_v<Type>) {
            return static_cast<Type>(std::lround(*check.number));
          } else if constexpr (std::is_floating_point_v<Type>) {
            return static_cast<Type>(*check.number);
          } else {
            return std::nullopt;
          }
        }
      },
      current);
}

class SetCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"), QStringLiteral("The maintenance data file."));
    parser.addPositionalArgument(QStringLiteral("NAME=VALUE"), QStringLiteral("The edits, in order."));
  }

  int Run(const QCommandLineParser& parser) override {
    const QStringList arguments = parser.positionalArguments();
    const QString path = arguments.constFirst();
    clsInstrument record;
    // The ratio channels' decimal places scale the catalytic levels the file holds.
    SetRatioChannels(record);
    if (!LoadMaintenanceFile(record, path)) {
      PrintError("nothing was written");
      return kExitUsage;
    }
    std::vector<std::string> done;
    for (const QString& argument : arguments.mid(1)) {
      const std::string edit = Bytes(argument);
      const std::size_t equals = edit.find('=');
      if (equals == std::string::npos) return Usage(Text("\"" + edit + "\" is not NAME=VALUE"));
      const std::string name(rules::Trim(std::string_view(edit).substr(0, equals)));
      const std::string text = edit.substr(equals + 1);
      std::string error;
      const std::optional<NamedSetting> setting = ResolveSettingName(name, record, &error);
      if (!setting) return Refused(error);
      const rules::EditCheck check = rules::CheckSettingEdit(record, setting->ref, text);
      if (!check.accepted) return Refused(name + ": \"" + text + "\" refused: " + check.reason);
      const SettingValue current = setting->info->get(record, setting->tableIndex);
      if (const std::optional<SettingValue> value = ValueOf(current, *setting, check)) {
        if (!setting->info->set(record, setting->tableIndex, *value)) {
          return Refused(name + ": the record has no such entry");
        }
      }
      SetRatioChannels(record);
      done.push_back(name + " = " + check.text);
    }
    const KvdWriteResult written = WriteMaintenanceFile(record, ToFsPath(path).string());
    if (!written.ok) {
      PrintFileError(path, 0, written.error);
      return kExitUsage;
    }
    for (const std::string& line : done) PrintLine(line);
    return kExitOk;
  }

 private:
  static int Refused(const std::string& reason) {
    PrintError(reason + " (the file was not changed)");
    return kExitUsage;
  }
};

}  // namespace

KV_DEFINE_COMMAND(SetCommand, .name = "set", .arguments = "FILE.kvd NAME=VALUE...",
                    .summary = "Edit settings of a maintenance data file by name.",
                    .details = SettingNameHelp(), .group = CommandGroup::Files,
                    .positionalArguments = 2, .moreArguments = true)

}  // namespace kv::cli
