#include "report/report_content.h"

#include <utility>

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

// The latest calibration of each channel. A channel never calibrated holds
// the code -101 (or nothing) as its date.
ReportTable CalibrationTable(const clsInstrument& r) {
  ReportTable table{"Latest Calibration",
                    {"Channel", "Gas", "Calibration Date", "Before", "After", "Span Value"},
                    {3, 3, 6, 3, 3, 3},
                    {},
                    {}};
  for (int slot = 0; slot < kSensorChannels; ++slot) {
    const int places = r.GasPoint(slot);
    const Date date = r.CalibDate(slot);
    table.rows.push_back({view::SlotCaption(slot), Trimmed(view::SlotName(r, slot)),
                          date <= 0 ? "-" : FormatGeneralDate(FromSerialDate(date)),
                          FormatGasValue(r.CalibBefore(slot), places),
                          FormatGasValue(r.CalibAfter(slot), places),
                          FormatGasValue(r.AutoCalib(slot), places)});
  }
  return table;
}

ReportTable CalibrationValueTable(const clsInstrument& r) {
  ReportTable table{"Calibration Values", {"Entry", "Zero", "Span"}, {1, 2, 2}, {}, {}};
  const int entries = clsInstrument::kSZ > clsInstrument::kS1 ? clsInstrument::kSZ
                                                               : clsInstrument::kS1;
  for (int i = 0; i < entries; ++i) {
    table.rows.push_back({std::to_string(i + 1),
                          i < clsInstrument::kSZ ? std::to_string(r.SZ_(i)) : "-",
                          i < clsInstrument::kS1 ? std::to_string(r.S1_(i)) : "-"});
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
  ReportContent content;
  content.title = "Settings and Calibration Report";
  content.reportDate = FormatGeneralDate(reportDate);
  content.tables.push_back(IdentityTable(record, model));
  content.tables.push_back(ChannelTable(record));
  content.tables.push_back(CalibrationTable(record));
  content.tables.push_back(CalibrationValueTable(record));
  content.tables.push_back(ListTable("Stations", view::StationEntries(record)));
  content.tables.push_back(ListTable("Users", view::UserEntries(record)));
  content.signatures = {"Technician", "Date"};
  return content;
}

}  // namespace kv::report
