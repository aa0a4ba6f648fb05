// kvmaint show FILE.kvd: every setting of a maintenance data file as the main
// window shows it, grouped as its tabs and grids, and the instrument it
// belongs to where the history knows its content.
#include <algorithm>
#include <cctype>
#include <optional>

#include "cli/cli_io.h"
#include "cli/command.h"
#include "cli/history_recording.h"
#include "cli/json_text.h"
#include "cli/kvd_files.h"
#include "common/printable_text.h"
#include "report/content_identity.h"
#include "rules/settings_view.h"

namespace kv::cli {
namespace {

const QString kJson = QStringLiteral("json");
const QString kGroup = QStringLiteral("group");

// A group of single settings is one entry without a row caption.
bool IsSettingList(const ViewGroup& group) {
  return group.entries.size() == 1 && group.entries.front().label.empty();
}

// "caption: text", control characters of names from the file escaped.
std::string CellText(const ViewCell& cell) {
  return PrintableText(cell.caption) + ": " + PrintableText(ShownText(cell));
}

std::string GroupText(const ViewGroup& group) {
  std::string out = "[" + std::string(group.title) + "]\n";
  for (const ViewEntry& entry : group.entries) {
    if (entry.label.empty()) {
      for (const ViewCell& cell : entry.cells) out += CellText(cell) + "\n";
      continue;
    }
    out += PrintableText(entry.label);
    for (const ViewCell& cell : entry.cells) out += " | " + CellText(cell);
    out += "\n";
  }
  return out;
}

std::string CellJson(const ViewCell& cell) {
  std::string json = JsonString(cell.key) + ": {\"caption\": " + JsonString(cell.caption) +
                     ", \"value\": " + JsonValue(cell.value) +
                     ", \"text\": " + JsonString(ShownText(cell));
  if (!cell.unit.empty()) json += ", \"unit\": " + JsonString(cell.unit);
  return json + "}";
}

std::string CellsJson(const std::vector<ViewCell>& cells, const std::string& indent) {
  std::string json;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    json += (i == 0 ? "" : ",\n") + indent + CellJson(cells[i]);
  }
  return json;
}

// Single settings as an object keyed by setting; grids as an array of rows,
// each an object with its row caption as "label".
std::string GroupJson(const ViewGroup& group) {
  std::string json = "  " + JsonString(group.key) + ": ";
  if (IsSettingList(group)) {
    return json + "{\n" + CellsJson(group.entries.front().cells, "    ") + "\n  }";
  }
  json += "[\n";
  for (std::size_t i = 0; i < group.entries.size(); ++i) {
    const ViewEntry& entry = group.entries[i];
    json += (i == 0 ? "" : ",\n") + std::string("    {\"label\": ") + JsonString(entry.label) +
            ",\n" + CellsJson(entry.cells, "     ") + "}";
  }
  return json + "\n  ]";
}

std::string GroupList() {
  std::string list;
  for (const std::string_view key : SettingsViewGroupKeys()) {
    list += (list.empty() ? "" : ", ") + std::string(key);
  }
  return list;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// The key of a group named by its key ("channels") or by the header show
// prints ("Alarm Levels", "[Alarm Levels]"), in any case; `name` itself
// when no group goes by it.
std::string GroupKey(std::string_view name) {
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  const clsInstrument blank;
  for (const std::string_view key : SettingsViewGroupKeys()) {
    const std::optional<ViewGroup> group = BuildSettingsViewGroup(blank, key);
    if (SameIgnoringCase(name, key) || (group && SameIgnoringCase(name, group->title))) {
      return std::string(key);
    }
  }
  return std::string(name);
}

constexpr std::string_view kIdentityGroup = "identity";

// A maintenance data file keeps no serial number; the history may know whose
// settings these are. nullopt with `why` set when it could not be asked.
std::optional<report::ContentIdentity> IdentityOf(const QCommandLineParser& parser, const QString& path,
                                                  std::string& why) {
  const std::optional<std::string> content = ReadWholeFile(path);
  if (!content) return std::nullopt;
  const std::unique_ptr<history::Store> store = OpenHistoryStore(parser, &why);
  if (!store) return std::nullopt;
  report::ContentIdentity identity = report::IdentifyByContent(*store, *content, &why);
  if (!why.empty()) return std::nullopt;
  return identity;
}

std::string IdentityLines(const std::optional<report::ContentIdentity>& identity, const std::string& why) {
  std::string out = "[Instrument]\n";
  if (identity && identity->read) {
    const history::Event& read = *identity->read;
    return out + "Serial number: " + PrintableText(read.serial) + "\nModel: " + PrintableText(read.model) +
           "\nRead: " + read.time + " (history event " + std::to_string(read.id) + ", " +
           (identity->sameBytes ? "this file is that read" : "the same settings") + ")\n";
  }
  const std::string text = identity ? report::IdentityText(*identity)
                                    : "the file does not hold the serial number (history not asked: " + why + ")";
  return out + "Serial number: not known: " + PrintableText(text) + "\n";
}

std::string IdentityJson(const std::optional<report::ContentIdentity>& identity, const std::string& why) {
  std::string json = "  \"instrument\": {";
  if (identity && identity->read) {
    const history::Event& read = *identity->read;
    return json + "\"serial\": " + JsonString(read.serial) + ", \"model\": " + JsonString(read.model) +
           ", \"read_at\": " + JsonString(read.time) + ", \"event\": " + std::to_string(read.id) +
           ", \"match\": " + JsonString(identity->sameBytes ? "bytes" : "settings") + "}";
  }
  const std::string text = identity ? report::IdentityText(*identity) : "history not asked: " + why;
  return json + "\"serial\": null, \"note\": " + JsonString(text) + "}";
}

class ShowCommand final : public Command {
 public:
  void Declare(QCommandLineParser& parser) override {
    parser.addOption({kJson, QStringLiteral("Print JSON for scripts.")});
    parser.addOption({kGroup, QStringLiteral("Show only this group."), QStringLiteral("NAME")});
    DeclareHistoryStoreOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE.kvd"),
                                 QStringLiteral("The maintenance data file."));
  }

  int Run(const QCommandLineParser& parser) override {
    clsInstrument record;
    std::vector<ViewGroup> groups;
    if (parser.isSet(kGroup)) {
      const std::string key = GroupKey(Bytes(parser.value(kGroup)));
      if (!BuildSettingsViewGroup(record, key)) {
        return Usage(QStringLiteral("unknown group '%1' (groups: %2)")
                         .arg(Text(key), Text(GroupList())));
      }
      if (!LoadMaintenanceFile(record, parser.positionalArguments().constFirst())) return kExitUsage;
      groups.push_back(*BuildSettingsViewGroup(record, key));
    } else {
      if (!LoadMaintenanceFile(record, parser.positionalArguments().constFirst())) return kExitUsage;
      groups = BuildSettingsView(record);
    }
    const QString path = parser.positionalArguments().constFirst();
    std::string out;
    // The whole file starts with its instrument; a group alone is that group.
    const bool whole = !parser.isSet(kGroup);
    if (whole || groups.front().key == kIdentityGroup) {
      std::string why;
      const std::optional<report::ContentIdentity> identity = IdentityOf(parser, path, why);
      if (identity && identity->read) {
        // The identity group shows the serial number the history knows.
        record.StoreSerialNo(identity->read->serial);
        for (ViewGroup& group : groups) {
          if (group.key == kIdentityGroup) group = *BuildSettingsViewGroup(record, kIdentityGroup);
        }
      }
      if (whole) out = parser.isSet(kJson) ? "{\n" + IdentityJson(identity, why) : IdentityLines(identity, why);
    }
    for (const ViewGroup& group : groups) {
      if (parser.isSet(kJson)) {
        out += (out.empty() ? "{\n" : ",\n") + GroupJson(group);
      } else {
        out += (out.empty() ? "" : "\n") + GroupText(group);
      }
    }
    if (parser.isSet(kJson)) out += "\n}\n";
    WriteStdout(out);
    return kExitOk;
  }
};

}  // namespace

KV_DEFINE_COMMAND(ShowCommand, .name = "show", .arguments = "[--json] [--group NAME] FILE.kvd",
                    .summary = "Print every setting of a maintenance data file as the window shows it.",
                    .details = "First the instrument (also the identity group's serial number): a\n"
                               "file keeps no serial number, so it is the one\n"
                               "whose latest read in the history holds the same bytes or the same\n"
                               "settings, with when it was read, or \"not known\" and why.\n"
                               "Groups as the window's tabs and grids, values with their units,\n"
                               "\"-----\" where a setting is unused. --json prints an object keyed\n"
                               "by group (and \"instrument\": serial, model, read_at, event, match, or\n"
                               "serial null with a note): single settings as objects keyed by setting, grids as\n"
                               "arrays of rows; each setting has its caption, typed value and text.\n"
                               "Groups: " + GroupList() + "; a group may also be named by the\n"
                               "header show prints (\"Alarm Levels\").\n"
                               "Exit status 0 shown, 2 bad group or a file that cannot be read.",
                    .group = CommandGroup::Files, .positionalArguments = 1)

}  // namespace kv::cli
