// kvmaint set FILE.kvd NAME=VALUE...: edits settings of a maintenance data
// file by name, each judged by the window's rule for its cell.
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/kvd_files.h"
#include "cli/setting_names.h"
#include "files/file_sink.h"
#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "qtedge/file_edit_lock.h"
#include "qtedge/latin1.h"
#include "rules/record_check.h"
#include "rules/setting_apply.h"
#include "rules/setting_display.h"
#include "qtedge/data_folder.h"
#include "rules/edit_check.h"
#include "rules/setting_rules.h"

namespace kv::cli {
namespace {

// Settings the edits changed that the file would read back otherwise: a
// setting the maintenance file does not hold, or a value its line cannot keep.
std::vector<std::string> NotKeptByTheFile(const clsInstrument& record, const std::string& fileText,
                                          const std::vector<NamedSetting>& edited) {
  clsInstrument reread;
  SetRatioChannels(reread);
  (void)ReadMaintenanceText(reread, fileText);
  std::vector<std::string> lost;
  for (const NamedSetting& setting : edited) {
    const int i = setting.tableIndex;
    if (setting.info->get(record, i) == setting.info->get(reread, i)) continue;
    lost.push_back(SettingCaption(*setting.info, record, i) + ": a maintenance file " +
                   (setting.info->get(reread, i) == setting.info->get(clsInstrument{}, i)
                        ? "does not hold this setting"
                        : "would read it back as " + DisplayValue(*setting.info, reread, i)));
  }
  return lost;
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
    // Held from the read to the write: a set running at the same time on the
    // same file waits, so neither loses the other's edits.
    const FileEditLock editing(ToFsPath(path).string());
    if (!editing.Held()) return Refused(editing.Error());
    clsInstrument record;
    // The ratio channels' decimal places scale the catalytic levels the file holds.
    SetRatioChannels(record);
    if (!LoadMaintenanceFile(record, path)) {
      PrintError("nothing was written");
      return kExitUsage;
    }
    SetRatioChannels(record);
    // From here a raised flag marks what these edits changed: the record check
    // judges those settings with their rows and tables.
    record.ClearChangeFlags();
    std::vector<std::string> done;
    std::vector<NamedSetting> edited;
    for (const QString& argument : arguments.mid(1)) {
      if (const std::optional<QChar> foreign = FirstNonLatin1(argument)) {
        return Refused(Bytes(argument.left(argument.indexOf(QLatin1Char('=')))) + ": " +
                       NonLatin1Reason(*foreign));
      }
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
      if (const std::string why = rules::ApplySettingEdit(record, check); !why.empty()) {
        return Refused(name + ": \"" + text + "\" refused: " + why);
      }
      edited.push_back(*setting);
      done.push_back(name + " = " + check.text);
    }
    const std::vector<rules::SettingProblem> problems =
        rules::CheckRecord(record, rules::RecordScope::Changed);
    for (const rules::SettingProblem& problem : problems) PrintError(problem.Describe());
    if (!problems.empty()) return Refused("the edits leave settings the instrument would not take");
    MemoryFileSink memory;
    if (const KvdWriteResult built = WriteMaintenanceFile(record, memory); !built.ok) {
      return Refused(built.error);
    }
    const std::vector<std::string> lost = NotKeptByTheFile(record, memory.Content(), edited);
    for (const std::string& line : lost) PrintError(line);
    if (!lost.empty()) return Refused("the file cannot keep these edits");
    AtomicFileSink sink(ToFsPath(path).string());
    if (!sink.Write(memory.Content()) || !sink.Commit()) {
      PrintFileError(path, 0, sink.Error());
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
