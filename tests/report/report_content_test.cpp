// What the report says about a record, before any layout.
#include "report/report_content.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

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

// The instrument's code for a channel never calibrated.
constexpr double kNeverCode = -101;

// An instrument with a limit of 90 days: STD1 calibrated on 2026/01/05,
// STD3 on `third` (or the date serial `serial`).
std::function<void(clsInstrument&)> CalibratedOn(DateTime third, std::optional<double> serial = {}) {
  return [third, serial](clsInstrument& r) {
    r.SetCalLimit(90);
    ASSERT_TRUE(r.SetCalibDate(0, ToSerialDate(DateTime{2026, 1, 5, 10, 0, 0})));
    ASSERT_TRUE(r.SetCalibDate(2, serial.value_or(ToSerialDate(third))));
  };
}

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
        // A record the calibration history was never read into (a file) knows no dates.
        CellCase{"CalibrationNotRead", Nothing, "Latest Calibration", "STD3", "Calibrated", "not read"},
        CellCase{"NeverCalibrated", CalibratedOn({2025, 11, 3, 14, 5, 9}, kNeverCode), "Latest Calibration",
                 "STD3", "Calibrated", "never"},
        CellCase{"NeverCalibratedState", CalibratedOn({2025, 11, 3, 14, 5, 9}, kNeverCode),
                 "Latest Calibration", "STD3", "State", "never"},
        CellCase{"CalibrationDate", CalibratedOn({2025, 11, 3, 14, 5, 9}),
                 "Latest Calibration", "STD3", "Calibrated", "2025/11/03"},
        CellCase{"CalibrationReadingPlaces",
                 [](clsInstrument& r) {
                   CalibratedOn({2025, 11, 3, 14, 5, 9})(r);
                   ASSERT_TRUE(r.SetCalibAfter(2, 25.04F));
                 },
                 "Latest Calibration", "STD3", "After", "25.0"},
        // The instrument's limit of 90 days from 2025/11/03 passed before the report date.
        CellCase{"NextDueFromTheInstrumentsLimit", CalibratedOn({2025, 11, 3, 14, 5, 9}),
                 "Latest Calibration", "STD3", "Next Due", "2026/02/01"},
        CellCase{"Overdue", CalibratedOn({2025, 11, 3, 14, 5, 9}), "Latest Calibration", "STD3", "State",
                 "OVERDUE"},
        CellCase{"NotYetDue", CalibratedOn({2026, 3, 1, 8, 0, 0}), "Latest Calibration", "STD3", "State", "ok"},
        CellCase{"DueSoon", CalibratedOn({2025, 12, 20, 9, 30, 0}), "Latest Calibration", "STD3", "State",
                 "due in 6 days"},
        CellCase{"LongerLimit",
                 [](clsInstrument& r) {
                   CalibratedOn({2025, 11, 3, 14, 5, 9})(r);
                   r.SetCalLimit(365);
                 },
                 "Latest Calibration", "STD3", "State", "ok"},
        CellCase{"SpanValue", Nothing, "Latest Calibration", "OPT1", "Span", "2.50"},
        // Calibration values belong to their channel; the zero calibration keeps two more.
        CellCase{"SpanCalibrationValueOfItsChannel", [](clsInstrument& r) { ASSERT_TRUE(r.SetS1_(2, 77)); },
                 "Calibration Values", "STD3", "Span", "77"},
        CellCase{"ZeroCalibrationValueOfItsChannel", [](clsInstrument& r) { ASSERT_TRUE(r.SetSZ_(2, 812)); },
                 "Calibration Values", "STD3", "Zero", "812"},
        CellCase{"ZeroCalibrationValueBeyondTheChannels", [](clsInstrument& r) { ASSERT_TRUE(r.SetSZ_(8, 9)); },
                 "Calibration Values", "Zero 9", "Zero", "9"},
        // Station 6 is the sixth entry, counted from 1 as the window counts.
        CellCase{"StationNumberedFromOne", Nothing, "Stations", "6", "ID", "STATION-A-LONG-NAME"},
        CellCase{"LastStation", Nothing, "Stations", "128", "ID", "LAST"},
        CellCase{"SelectedUserNamed", [](clsInstrument& r) { ASSERT_TRUE(r.SetXZ_(1, "BOB")); },
                 "Users", "2", "Selected", "Yes"}),
    [](const auto& info) { return std::string(info.param.name); });

// A record without the calibration history takes the history's, tied to
// the channel it names.
TEST(ReportContentTest, CalibrationsFromTheHistoryWhenTheRecordHasNone) {
  ReportSources sources;
  fleet::ChannelCalibration co;
  co.channel = 3;
  co.gas = "CO";
  co.calibrated = DateTime{2026, 3, 10, 8, 0, 0};
  co.before = "48";
  co.after = "50";
  sources.historyCalibrations = std::vector<fleet::ChannelCalibration>{co};
  clsInstrument record = testsupport::SampleRecord();
  record.SetCalLimit(90);
  const ReportContent content = BuildReportContent(record, kReportDate, sources);
  const ReportTable& table = TableNamed(content, "Latest Calibration");
  EXPECT_EQ(Cell(table, "STD4", "Calibrated"), "2026/03/10");
  EXPECT_EQ(Cell(table, "STD4", "Before"), "48");
  EXPECT_EQ(Cell(table, "STD4", "State"), "ok");
  EXPECT_EQ(Cell(table, "STD1", "Calibrated"), "never");
}

TEST(ReportContentTest, ASettingsRecordWithoutSerialNamesNoInstrument) {
  clsInstrument record = testsupport::SampleRecord();
  record.StoreSerialNo("   ");
  EXPECT_NE(WhyNoInstrument(record).find("no serial number"), std::string::npos);
  record.StoreSerialNo("KV-7");
  EXPECT_EQ(WhyNoInstrument(record), "");
}

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
