// What the report says about a record, before any layout.
#include "report/report_content.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/sample_record.h"

namespace kv::report {
namespace {

const DateTime kReportDate{2026, 3, 14, 9, 30, 0};

const ReportTable& TableNamed(const ReportContent& content, const std::string& heading) {
  for (const ReportTable& table : content.tables) {
    if (table.heading == heading) return table;
  }
  ADD_FAILURE() << "no table " << heading;
  static const ReportTable none;
  return none;
}

// The cell of the row whose first cell is `key`, in the column headed `column`.
std::string Cell(const ReportTable& table, const std::string& key, const std::string& column) {
  const auto col = std::find(table.columns.begin(), table.columns.end(), column);
  if (col == table.columns.end()) return "<no column " + column + ">";
  for (const auto& row : table.rows) {
    if (!row.empty() && row.front() == key) {
      return row[static_cast<std::size_t>(col - table.columns.begin())];
    }
  }
  return "<no row " + key + ">";
}

struct CellCase {
  const char* name;
  std::function<void(clsInstrument&)> change;
  const char* table;
  const char* row;
  const char* column;
  const char* expected;
};

class ReportCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(ReportCellTest, ShowsTheRecordAsTheWindowDoes) {
  clsInstrument record = testsupport::SampleRecord();
  GetParam().change(record);
  const ReportContent content = BuildReportContent(record, kReportDate);
  EXPECT_EQ(Cell(TableNamed(content, GetParam().table), GetParam().row, GetParam().column),
            GetParam().expected);
}

void Nothing(clsInstrument&) {}

INSTANTIATE_TEST_SUITE_P(
    Cells, ReportCellTest,
    ::testing::Values(
        CellCase{"SerialTrimmed", [](clsInstrument& r) { r.StoreSerialNo("KV-0042     "); },
                 "Instrument", "Serial number", "Value", "KV-0042"},
        CellCase{"BlankSerialSaysSo", Nothing, "Instrument", "Serial number", "Value",
                 "not recorded"},
        CellCase{"ManufactureNumber", [](clsInstrument& r) { r.StoreDummySerial("M-77"); },
                 "Instrument", "Manufacture number", "Value", "M-77"},
        CellCase{"FirmwareNumber", [](clsInstrument& r) { r.SetRomNumber(1207); }, "Instrument",
                 "Firmware number", "Value", "1207"},
        CellCase{"Model", Nothing, "Instrument", "Model", "Value", "KORVIN"},
        // Fixed sensors carry their fixed names, whatever the record says.
        CellCase{"FixedSensorName", Nothing, "Channels and Alarm Levels", "STD2", "Gas", "OXY"},
        CellCase{"LevelWithChannelPlaces", Nothing, "Channels and Alarm Levels", "STD3",
                 "Warning", "5.0"},
        CellCase{"LevelWholeNumbers", Nothing, "Channels and Alarm Levels", "STD4", "STEL", "200"},
        CellCase{"LevelCodeAsWord", Nothing, "Channels and Alarm Levels", "STD2", "STEL", "-----"},
        CellCase{"FullScaleWithPlaces", Nothing, "Channels and Alarm Levels", "OPT1",
                 "Full Scale", "5.00"},
        CellCase{"Resolution", Nothing, "Channels and Alarm Levels", "OPT1", "Resolution", "0.01"},
        CellCase{"UnitTrimmed", Nothing, "Channels and Alarm Levels", "STD1", "Unit", "%LEL"},
        CellCase{"NeverCalibrated", Nothing, "Latest Calibration", "STD3", "Calibration Date", "-"},
        CellCase{"CalibrationDate",
                 [](clsInstrument& r) {
                   ASSERT_TRUE(r.SetCalibDate(2, ToSerialDate(DateTime{2025, 11, 3, 14, 5, 9})));
                 },
                 "Latest Calibration", "STD3", "Calibration Date", "2025/11/03 14:05:09"},
        CellCase{"CalibrationReadingPlaces", [](clsInstrument& r) { ASSERT_TRUE(r.SetCalibAfter(2, 25.04F)); },
                 "Latest Calibration", "STD3", "After", "25.0"},
        CellCase{"SpanValue", Nothing, "Latest Calibration", "OPT1", "Span Value", "2.50"},
        CellCase{"ZeroValue", [](clsInstrument& r) { ASSERT_TRUE(r.SetSZ_(9, 812)); },
                 "Calibration Values", "10", "Zero", "812"},
        // Station 6 is the sixth entry, counted from 1 as the window counts.
        CellCase{"StationNumberedFromOne", Nothing, "Stations", "6", "ID", "STATION-A-LONG-NAME"},
        CellCase{"LastStation", Nothing, "Stations", "128", "ID", "LAST"},
        CellCase{"SelectedUserNamed", [](clsInstrument& r) { ASSERT_TRUE(r.SetXZ_(1, "BOB")); },
                 "Users", "2", "Selected", "Yes"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportContentTest, ListsOnlyStationsAndUsersThatHaveAnIdentifier) {
  const ReportContent content = BuildReportContent(testsupport::SampleRecord(), kReportDate);
  std::vector<std::string> stations;
  for (const auto& row : TableNamed(content, "Stations").rows) stations.push_back(row[1]);
  EXPECT_EQ(stations, (std::vector<std::string>{"MAIN GATE", "STATION-A-LONG-NAME", "LAST"}));
  std::vector<std::string> users;
  for (const auto& row : TableNamed(content, "Users").rows) users.push_back(row[1]);
  EXPECT_EQ(users, (std::vector<std::string>{"ALICE", "ZED"}));
}

TEST(ReportContentTest, CarriesTheReportDateAndSignatureLines) {
  const ReportContent content = BuildReportContent(testsupport::SampleRecord(), kReportDate);
  EXPECT_EQ(content.reportDate, "2026/03/14 09:30:00");
  EXPECT_EQ(content.signatures, (std::vector<std::string>{"Technician", "Date"}));
}

TEST(ReportContentTest, EveryRowHasOneCellPerColumn) {
  const ReportContent content = BuildReportContent(testsupport::SampleRecord(), kReportDate);
  for (const ReportTable& table : content.tables) {
    EXPECT_EQ(table.columnWeights.size(), table.columns.size()) << table.heading;
    for (const auto& row : table.rows) EXPECT_EQ(row.size(), table.columns.size()) << table.heading;
  }
}

}  // namespace
}  // namespace kv::report
