#include "report/report_content.h"

#include <utility>

#include "fleet/calibration_merge.h"
#include "protocol/format_gas_value.h"
#include "rules/edit_check.h"
#include "rules/settings_view.h"
#include "rules/settings_view_parts.h"

namespace kv::report {
namespace {

std::string Trimmed(std::string_view text) { return std::string(rules::Trim(text)); }

// Identity the record does not hold (a maintenance data file keeps none).
std::string OrUnknown(std::string text) { return text.empty() ? "not recorded" : text; }

// The caption the window gives a setting of the settings table.
std::string Caption(std::string_view settingName) {
  const SettingInfo* setting = view::FindSetting(settingName);
  return setting != nullptr ? std::string(setting->caption) : std::string(settingName);
}

// The text of the cell captioned `caption` in a view row.
std::string CellText(const ViewEntry& entry, std::string_view caption) {
  for (const ViewCell& cell : entry.cells) {
    if (cell.caption == caption) return Trimmed(cell.text);
  }
  return {};
}

ReportTable IdentityTable(const clsInstrument& r, std::string_view model) {
  ReportTable table{"Instrument", {"Item", "Value"}, {2, 5}, {}, {}};
  table.rows = {
      {"Model", std::string(model)},
      {Caption("SerialNo"), OrUnknown(Trimmed(r.SerialNo()))},
      {Caption("DummySerial"), OrUnknown(Trimmed(r.DummySerial()))},
      {Caption("RomNumber"), r.RomNumber() == 0 ? OrUnknown({}) : std::to_string(r.RomNumber())},
      {Caption("SUM"), OrUnknown(Trimmed(r.SUM()))},
  };
  return table;
}

// Levels as the Alarm Levels tab shows them, with the channel's range.
ReportTable ChannelTable(const clsInstrument& r) {
  ReportTable table{"Channels and Alarm Levels",
                    {"Channel", "Gas", "Full Scale", "Resolution", "Unit", "Warning", "Alarm",
                     "STEL", "TWA"},
                    {7, 5, 7, 7, 5, 6, 6, 6, 6},
                    {},
                    {}};
  const std::vector<ViewEntry> levels = view::AlarmLevelEntries(r);
  for (int slot = 0; slot < static_cast<int>(levels.size()); ++slot) {
    const ViewEntry& row = levels[static_cast<std::size_t>(slot)];
    table.rows.push_back({row.label, CellText(row, "Gas"), CellText(row, "Full Scale"),
                          PlainNumber(r.GasDesit(slot)), CellText(row, "Unit"),
                          CellText(row, "Warning"), CellText(row, "Alarm"), CellText(row, "STEL"),
                          CellText(row, "TWA")});
  }
  return table;
}

// The latest calibration of each channel: the record's (when the
// instrument's calibration history was read into it) or the history's,
// whichever is later.
std::vector<fleet::ChannelCalibration> KnownCalibrations(const clsInstrument& r,
                                                         const ReportSources& sources, bool& known) {
  std::vector<fleet::ChannelCalibration> channels = fleet::CalibrationsOf(r);
  known = fleet::HoldsCalibrationHistory(r);
  if (sources.historyCalibrations) {
    known = true;
    fleet::MergeLatest(channels, *sources.historyCalibrations);
  }
  return channels;
}

std::string DueText(const fleet::ChannelDue& due) {
  switch (due.state) {
    case fleet::DueState::Overdue: return "OVERDUE";
    case fleet::DueState::Never: return "never";
    case fleet::DueState::NotFitted: return "-";
    case fleet::DueState::DueSoon: return "due in " + std::to_string(due.daysLeft) + " days";
    default: return fleet::StateText(due);
  }
}

ReportTable CalibrationTable(const clsInstrument& r, const DateTime& now, const ReportSources& sources) {
  ReportTable table{"Latest Calibration",
                    {"Channel", "Gas", "Calibrated", "Before", "After", "Span", "Next Due", "State"},
                    {4, 3, 5, 5, 5, 3, 5, 7},
                    {},
                    {}};
  bool known = false;
  const std::vector<fleet::ChannelCalibration> channels = KnownCalibrations(r, sources, known);
  const fleet::InstrumentDue due =
      fleet::JudgeInstrument(channels, r.CalLimit(), sources.defaults, now, kDueSoonDays);
  for (const fleet::ChannelDue& channel : due.channels) {
    const int slot = channel.calibration.channel;
    const fleet::ChannelCalibration& c = channel.calibration;
    const bool shown = known && c.fitted;
    std::string date = !c.fitted ? "-" : !known ? "not read" : "never";
    // The day: the time would not fit the page's column.
    if (shown && c.calibrated) date = FormatGeneralDate(*c.calibrated).substr(0, 10);
    table.rows.push_back({view::SlotCaption(slot), Trimmed(view::SlotName(r, slot)), date,
                          shown && !c.before.empty() ? c.before : "-",
                          shown && !c.after.empty() ? c.after : "-",
                          FormatGasValue(r.AutoCalib(slot), r.GasPoint(slot)),
                          shown && channel.due ? FormatGeneralDate(*channel.due).substr(0, 10) : "-",
                          shown ? DueText(channel) : "-"});
  }
  return table;
}

// The values each channel's zero and span calibration keep; the zero
// calibration keeps two more than there are sensor channels.
ReportTable CalibrationValueTable(const clsInstrument& r) {
  ReportTable table{"Calibration Values", {"Channel", "Gas", "Zero", "Span"}, {2, 2, 2, 2}, {}, {}};
  constexpr int kZeroValuesRead = 9;
  for (int i = 0; i < kZeroValuesRead; ++i) {
    const bool sensor = i < kSensorChannels;
    table.rows.push_back({sensor ? view::SlotCaption(i) : "Zero " + std::to_string(i + 1),
                          sensor ? Trimmed(view::SlotName(r, i)) : "-", std::to_string(r.SZ_(i)),
                          sensor && i < clsInstrument::kS1 ? std::to_string(r.S1_(i)) : "-"});
  }
  return table;
}

// The entries of a station or user list that hold an identifier.
ReportTable ListTable(std::string heading, const std::vector<ViewEntry>& entries) {
  ReportTable table{std::move(heading), {"No.", "ID", "Selected"}, {1, 5, 1}, {}, "(none)"};
  for (const ViewEntry& entry : entries) {
    const std::string id = CellText(entry, "ID");
    if (id.empty()) continue;
    table.rows.push_back({entry.label, id, CellText(entry, "Selected") == "[x]" ? "Yes" : ""});
  }
  return table;
}

}  // namespace

ReportContent BuildReportContent(const clsInstrument& record, const DateTime& reportDate,
                                 std::string_view model) {
  ReportSources sources;
  sources.model = std::string(model);
  return BuildReportContent(record, reportDate, sources);
}

std::string WhyNoInstrument(const clsInstrument& record) {
  if (!Trimmed(record.SerialNo()).empty()) return {};
  return "the settings name no instrument (no serial number): read one with Get, or load a read from "
         "the history";
}

ReportContent BuildReportContent(const clsInstrument& record, const DateTime& reportDate,
                                 const ReportSources& sources) {
  ReportContent content;
  content.title = "Settings and Calibration Report";
  content.reportDate = FormatGeneralDate(reportDate);
  content.tables.push_back(IdentityTable(record, sources.model));
  content.tables.push_back(ChannelTable(record));
  content.tables.push_back(CalibrationTable(record, reportDate, sources));
  content.tables.push_back(CalibrationValueTable(record));
  content.tables.push_back(ListTable("Stations", view::StationEntries(record)));
  content.tables.push_back(ListTable("Users", view::UserEntries(record)));
  content.signatures = {"Technician", "Date"};
  return content;
}

}  // namespace kv::report
