#include "files/csv_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "files/sample_record.h"
#include "model/instrument_settings.h"

namespace kv::csv {
namespace {

using testing_support::SampleRecord;

constexpr const char* kValidHighRow =
    "17,ISO,ISOBUTYLENE,2000,1/1,ppm,1,50,100,25,10,100,1.00";
constexpr const char* kValidConversion =
    "1,HEX,Hexane,2.00,100,200,1000,ME\r\n"
    "2,PEN,Pentane,3.00,*****,*****,1000,Normal\r\n"
    "3,---,--------------------,1.00,0,0,0,Normal\r\n"
    "4,USR,User gas four,25.00,1000,2000,30000,ME\r\n"
    "5,ABC,Another,4.00,500,500,500,Normal\r\n";

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start) + "<no CR LF>");
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

int FieldCount(const std::string& line) {
  return static_cast<int>(std::count(line.begin(), line.end(), ',')) + 1;
}

// The names of every setting whose change flag is set, with their index.
std::vector<std::string> ChangedSettings(const clsInstrument& record) {
  std::vector<std::string> changed;
  for (const SettingInfo& info : AllSettings()) {
    if (info.changed == nullptr) continue;
    for (int i = 0; i < info.count; ++i) {
      if (info.changed(record, i)) changed.push_back(std::string(info.name) + " " + std::to_string(i));
    }
  }
  return changed;
}

// A fresh record whose first `rows` entries of the table are flagged, through
// the record's own flag setters.
clsInstrument Flagged(CsvTable table, int rows) {
  clsInstrument record;
  for (int k = 0; k < rows; ++k) {
    switch (table) {
      case CsvTable::Stations: record.SetChange_XS_(k, true); break;
      case CsvTable::Users: record.SetChange_XZ_(k, true); break;
      case CsvTable::PidHigh:
      case CsvTable::PidLow:
        record.SetChange_PIDName(16, true);
        record.SetChange_PIDSpec(16, table == CsvTable::PidHigh ? 0 : 1, true);
        break;
      case CsvTable::Conversion:
        record.SetChange_LO_(k, true);
        record.SetChange_LA_(k + 30, true);
        break;
    }
  }
  return record;
}

CsvCells Imported(CsvTable table, const std::string& bytes, CsvImport* result = nullptr,
                  const clsInstrument& record = clsInstrument{}) {
  CsvCells cells = CellsOf(record, table);
  const CsvImport imported = ImportCsvText(bytes, cells);
  if (result != nullptr) *result = imported;
  return cells;
}

// ---- station and user lists --------------------------------------------------

TEST(CsvLists, TheUserListExportsThirtyTwoLinesNumberedFromOne) {
  const std::vector<std::string> lines =
      Lines(ExportCsv(CellsOf(SampleRecord(), CsvTable::Users)));
  ASSERT_EQ(lines.size(), 32U);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(0, lines[i].find(',')), std::to_string(i + 1));
  }
  EXPECT_EQ(lines[0], "1,ALICE");
  EXPECT_EQ(lines[31], "32,ZED");
  EXPECT_EQ(Lines(ExportCsv(CellsOf(SampleRecord(), CsvTable::Stations))).size(), 128U);
}

struct ListCase {
  const char* label;
  std::string bytes;
  int row;
  std::string name;
  bool valid;
};

class CsvListImport : public ::testing::TestWithParam<ListCase> {};

TEST_P(CsvListImport, PutsTheLineIntoItsRowWhateverItsNumber) {
  const ListCase& c = GetParam();
  CsvImport result;
  const CsvCells cells = Imported(CsvTable::Stations, c.bytes, &result);
  EXPECT_TRUE(result.complete) << result.error;
  const CsvCell& cell = cells.rows[static_cast<std::size_t>(c.row)][1];
  EXPECT_EQ(cell.text, c.name);
  EXPECT_EQ(cell.valid, c.valid) << cell.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvListImport,
    ::testing::Values(
        // The extra fields join the name again with their comma, which no name may hold.
        ListCase{"CommaInName", "5,ALPHA,BETA\r\n", 0, "ALPHA,BETA", false},
        ListCase{"TabSeparated", "5\tALPHA BETA\r\n", 0, "ALPHA BETA", true},
        ListCase{"SemicolonInName", "5,ALPHA;BETA\r\n", 0, "ALPHA;BETA", false},
        ListCase{"LfEnding", "1,A\n2,GATE B\n", 1, "GATE B", true},
        ListCase{"SeventeenCharacters", "1,ABCDEFGHIJKLMNOPQ\r\n", 0, "ABCDEFGHIJKLMNOPQ", false},
        ListCase{"SixteenCharacters", "1,ABCDEFGHIJKLMNOP\r\n", 0, "ABCDEFGHIJKLMNOP", true},
        ListCase{"Brace", "1,GATE{1}\r\n", 0, "GATE{1}", false},
        ListCase{"Apostrophe", "1,JOE'S\r\n", 0, "JOE'S", true},
        ListCase{"Latin1HighByte", "1,CAF\xC9\r\n", 0, "CAF\xC9", false},
        ListCase{"NulByte", std::string("1,A\0B\r\n", 7), 0, std::string("A\0B", 3), false},
        // No quoting: a quote is an ordinary character and its comma still separates.
        ListCase{"QuotesAreOrdinary", "1,\"A,B\"\r\n", 0, "\"A,B\"", false},
        ListCase{"NumberOnly", "7\r\n", 0, "", true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CsvLists, AThreeLineFileChangesRowsZeroToTwoOnly) {
  clsInstrument record = SampleRecord();
  record.ClearChangeFlags();
  CsvCells cells = CellsOf(record, CsvTable::Stations);
  const CsvImport result = ImportCsvText("1,ONE\r\n2,TWO\r\n3,THREE\r\n", cells);
  EXPECT_EQ(result.importedRows, (std::vector<int>{0, 1, 2}));
  StoreImportedRows(cells, result.importedRows, record);
  EXPECT_EQ(record.XS_(2), "THREE");
  EXPECT_EQ(record.XS_(5), "STATION-A-LONG-NAME");  // kept, and marked red (19 characters)
  EXPECT_FALSE(cells.rows[5][1].valid);
  EXPECT_EQ(ChangedSettings(record), ChangedSettings(Flagged(CsvTable::Stations, 3)));
}

TEST(CsvLists, ALongerFileFillsTheListAndLeavesTheRestUnread) {
  std::string bytes;
  for (int i = 1; i <= 40; ++i) bytes += std::to_string(i) + ",U" + std::to_string(i) + "\r\n";
  std::istringstream in(bytes);
  CsvCells cells = CellsOf(clsInstrument{}, CsvTable::Users);
  const CsvImport result = ImportCsv(in, cells);
  EXPECT_EQ(result.importedRows.size(), 32U);
  EXPECT_EQ(cells.rows[31][1].text, "U32");
  std::string next;
  std::getline(in, next);
  EXPECT_EQ(next, "33,U33\r");
}

// ---- PID sensor tables ----------------------------------------------------------

TEST(CsvPid, AValidRowExportsOneLineOfThirteenFieldsFromSeventeen) {
  CsvImport result;
  const CsvCells cells = Imported(CsvTable::PidHigh, std::string(kValidHighRow) + "\r\n", &result);
  ASSERT_EQ(FirstInvalidCell(cells).row, -1) << cells.rows[0][FirstInvalidCell(cells).column].reason;
  const std::string bytes = ExportCsv(cells);
  EXPECT_EQ(bytes, std::string(kValidHighRow) + "\r\n");
  EXPECT_EQ(FieldCount(Lines(bytes)[0]), 13);
}

struct PidCase {
  const char* label;
  std::string bytes;
  int column;
  std::string text;
  bool valid;
};

class CsvPidImport : public ::testing::TestWithParam<PidCase> {};

TEST_P(CsvPidImport, FillsRowSeventeen) {
  const PidCase& c = GetParam();
  const CsvCells cells = Imported(CsvTable::PidHigh, c.bytes);
  const CsvCell& cell = cells.rows[0][static_cast<std::size_t>(c.column)];
  EXPECT_EQ(cell.text, c.text);
  EXPECT_EQ(cell.valid, c.valid) << cell.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvPidImport,
    ::testing::Values(
        PidCase{"LongNameWithComma", "17,ISO,ABC,DEF,2000,1/1,ppm,1,50,100,25,10,100,1.00\r\n",
                2, "ABC,DEF", false},
        PidCase{"FieldsAfterTheLongNameShift",
                "17,ISO,ABC,DEF,2000,1/1,ppm,1,50,100,25,10,100,1.00\r\n", 12, "1.00", true},
        PidCase{"TabSeparated", "17\tISO\tIB\t2000\t1/1\tppm\t1\t50\t100\t25\t10\t100\t1\r\n",
                12, "1.00", true},
        PidCase{"OnlyTheFirstLine",
                std::string(kValidHighRow) + "\r\n17,XYZ,OTHER,500.0,1/10,ppm,0.2,1,2,3,4,5,0.3\r\n",
                1, "ISO", true},
        PidCase{"FactorOutsideItsFullScale",
                "17,ISO,IB,2000,1/1,ppm,1,50,100,25,10,100,0.80\r\n", 12, "0.80", false},
        // The instrument holds whole factors: a fraction is refused, never rounded.
        PidCase{"FractionalFactor",
                "17,ISO,IB,2000,1/1,ppm,1,50,100,25,10,100,1.20\r\n", 12, "1.20", false},
        PidCase{"NoLevelFactor",
                "17,ISO,IB,2000,1/1,ppm,1,50,100,25,10,100,*****\r\n", 12, "*****", false},
        PidCase{"WrongResolution", "17,ISO,IB,2000,1/10,ppm,1,50,100,25,10,100,1\r\n", 4,
                "1/10", false},
        PidCase{"MissingFieldsLeaveEmptyCells", "17,ISO,IB,2000\r\n", 5, "", false},
        PidCase{"EmptyLevelShowsStars", "17,ISO,IB,2000,1/1,ppm,1,,100,25,10,100,1\r\n", 7,
                "*****", true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CsvPid, ImportFlagsEntrySixteenOfItsRangeOnly) {
  clsInstrument record;
  CsvCells cells = CellsOf(record, CsvTable::PidLow);
  const CsvImport result =
      ImportCsvText("17,BEN,BENZENE,50.00,1/100,ppm,0.02,1.00,2.00,*****,*****,5.00,1.00\r\n", cells);
  ASSERT_EQ(FirstInvalidCell(cells).row, -1);
  StoreImportedRows(cells, result.importedRows, record);
  EXPECT_TRUE(record.Change_PIDSpec(16, 1));
  EXPECT_FALSE(record.Change_PIDSpec(16, 0));
  EXPECT_TRUE(record.Change_PIDName(16));
  EXPECT_FLOAT_EQ(record.PIDFullScale(16, 1), 50.0F);
  EXPECT_EQ(record.PIDPoint(16, 1), 2);
  EXPECT_FLOAT_EQ(record.PIDStel(16, 1), -121.0F);
  EXPECT_EQ(record.PIDLongName(16), "BENZENE");
}

TEST(CsvPid, AnEmptyFileChangesNothing) {
  clsInstrument record;
  CsvImport result;
  const CsvCells cells = Imported(CsvTable::PidHigh, "", &result);
  EXPECT_TRUE(result.complete);
  EXPECT_TRUE(result.importedRows.empty());
  StoreImportedRows(cells, result.importedRows, record);
  EXPECT_TRUE(ChangedSettings(record).empty());
}

TEST(CsvPid, ARedLowRangeCellBlocksTheHighRangeExport) {
  clsInstrument record;
  // As an instrument reports an unused range: its unit travels as an index.
  for (int range = 0; range < kPidRanges; ++range) record.SetPIDUnit(16, range, "ppm");
  CsvCells high = CellsOf(record, CsvTable::PidHigh);
  StoreImportedRows(high, ImportCsvText(std::string(kValidHighRow) + "\r\n", high).importedRows,
                    record);
  ASSERT_EQ(FirstInvalidCell(high).row, -1);
  // The low range has no full scale yet: a range the entry does not use.
  EXPECT_EQ(ExportBlockedBy(record, CsvTable::PidHigh), "");
  CsvCells low = CellsOf(record, CsvTable::PidLow);
  StoreImportedRows(
      low,
      ImportCsvText("17,BEN,BENZENE,50.00,1/100,ppm,0.02,1.00,2.00,*****,*****,5.00,1.00", low)
          .importedRows,
      record);
  EXPECT_EQ(ExportBlockedBy(record, CsvTable::PidHigh), "");
  (void)record.SetPIDDigit(16, 1, 0.01F);  // finer than the sensor's step: red in the low range
  EXPECT_EQ(ExportBlockedBy(record, CsvTable::PidHigh), "PID Sensor Settings");
  EXPECT_EQ(ExportBlockedBy(clsInstrument{}, CsvTable::Stations), "");  // lists are not checked
}

// ---- user conversion table -------------------------------------------------------

TEST(CsvConversion, AValidTableExportsFiveLinesOfEightFields) {
  const CsvCells cells = Imported(CsvTable::Conversion, kValidConversion);
  ASSERT_EQ(FirstInvalidCell(cells).row, -1);
  const std::vector<std::string> lines = Lines(ExportCsv(cells));
  ASSERT_EQ(lines.size(), 5U);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(0, 2), std::to_string(i + 1) + ",");
    EXPECT_EQ(FieldCount(lines[i]), 8);
  }
  EXPECT_EQ(ExportCsv(cells), kValidConversion);
}

struct ConversionCase {
  const char* label;
  std::string line;
  int column;
  std::string text;
  bool valid;
};

class CsvConversionImport : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(CsvConversionImport, FillsTheFirstRow) {
  const ConversionCase& c = GetParam();
  const CsvCells cells = Imported(CsvTable::Conversion, c.line + "\r\n");
  const CsvCell& cell = cells.rows[0][static_cast<std::size_t>(c.column)];
  EXPECT_EQ(cell.text, c.text);
  EXPECT_EQ(cell.valid, c.valid) << cell.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvConversionImport,
    ::testing::Values(
        ConversionCase{"ModeNumberMe", "1,HEX,Hexane,2,100,200,1000,1.3", 7, "ME", true},
        ConversionCase{"ModeWordNormal", "1,HEX,Hexane,2,100,200,1000,normal", 7, "Normal", true},
        ConversionCase{"ModeNumberNormal", "1,HEX,Hexane,2,100,200,1000,2.4", 7, "Normal", true},
        ConversionCase{"ModeOther", "1,HEX,Hexane,2,100,200,1000,3", 7, "3", false},
        ConversionCase{"LongNameWithComma", "1,HEX,Hex,ane,2,100,200,1000,ME", 2, "Hex,ane", false},
        ConversionCase{"ShiftedFactor", "1,HEX,Hex,ane,2,100,200,1000,ME", 3, "2.00", true},
        ConversionCase{"FractionalFactor", "1,HEX,Hexane,1.5,100,200,1000,ME", 3, "1.5", false},
        ConversionCase{"FactorThirty", "1,HEX,Hexane,30,100,200,1000,ME", 3, "30", false},
        ConversionCase{"LevelHalfwayGoesToEven", "1,HEX,Hexane,2,250,400,1000,ME", 4, "200", true},
        ConversionCase{"CoarseStepFromRatio25000", "1,HEX,Hexane,2,375,1000,25000,ME", 4, "500",
                       true},
        ConversionCase{"WarningAboveAlarm", "1,HEX,Hexane,2,300,200,1000,ME", 4, "300", false},
        ConversionCase{"EmptyName", "1,,Hexane,1.5,100,200,1000,ME", 1, "---", true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CsvConversion, ASevenLineFileImportsFiveAndFlagsTheirEntries) {
  clsInstrument record;
  CsvCells cells = CellsOf(record, CsvTable::Conversion);
  const CsvImport result = ImportCsvText(
      std::string(kValidConversion) + "6,SIX,Six,1,1,1,1,ME\r\n7,SEV,Seven,1,1,1,1,ME\r\n", cells);
  EXPECT_EQ(result.importedRows, (std::vector<int>{0, 1, 2, 3, 4}));
  StoreImportedRows(cells, result.importedRows, record);
  EXPECT_EQ(ChangedSettings(record), ChangedSettings(Flagged(CsvTable::Conversion, 5)));
  EXPECT_EQ(record.LO_name(2), "");
  EXPECT_FLOAT_EQ(record.LA_volt(30), 1.0F);
}

TEST(CsvConversion, AFactorOfThirtyBlocksTheNextExport) {
  clsInstrument record;
  CsvCells cells = CellsOf(record, CsvTable::Conversion);
  StoreImportedRows(cells, ImportCsvText(kValidConversion, cells).importedRows, record);
  ASSERT_EQ(ExportBlockedBy(record, CsvTable::Conversion), "");
  ASSERT_TRUE(record.SetLO_fc(1, 30));
  EXPECT_EQ(ExportBlockedBy(record, CsvTable::Conversion), "User Defined Conversion Table");
}

// ---- every table ------------------------------------------------------------------

class CsvRoundTrip : public ::testing::TestWithParam<CsvTable> {};

// Export then import gives the same cells, and storing them flags exactly the
// imported entries and changes no value.
TEST_P(CsvRoundTrip, GivesTheSameCellsAndFlagsTheImportedEntries) {
  clsInstrument record = SampleRecord();
  for (const CsvTable table : {CsvTable::PidHigh, CsvTable::PidLow, CsvTable::Conversion}) {
    CsvCells valid = CellsOf(record, table);
    const std::string bytes =
        table == CsvTable::Conversion ? kValidConversion
        : table == CsvTable::PidHigh
            ? std::string(kValidHighRow)
            : "17,BEN,BENZENE,50.00,1/100,ppm,0.02,1.00,2.00,*****,*****,5.00,1.00";
    StoreImportedRows(valid, ImportCsvText(bytes, valid).importedRows, record);
  }
  record.ClearChangeFlags();
  CsvCells shown = CellsOf(record, GetParam());
  CheckCells(shown);
  const std::string bytes = ExportCsv(shown);

  clsInstrument again = record;
  CsvCells imported = CellsOf(again, GetParam());
  const CsvImport result = ImportCsvText(bytes, imported);
  ASSERT_TRUE(result.complete) << result.error;
  EXPECT_EQ(imported.rows, shown.rows);
  StoreImportedRows(imported, result.importedRows, again);
  CsvCells stored = CellsOf(again, GetParam());
  CheckCells(stored);
  EXPECT_EQ(stored.rows, shown.rows);

  EXPECT_EQ(ChangedSettings(again),
            ChangedSettings(Flagged(GetParam(), static_cast<int>(shown.rows.size()))));
}

INSTANTIATE_TEST_SUITE_P(Tables, CsvRoundTrip,
                         ::testing::Values(CsvTable::Stations, CsvTable::Users, CsvTable::PidHigh,
                                           CsvTable::PidLow, CsvTable::Conversion));

// ---- bad input ------------------------------------------------------------------------

struct BadInputCase {
  const char* label;
  // Made when the case runs: the large inputs built for every test process
  // of this suite cost each of them a fifth of a second and 30 MB.
  std::string (*bytes)();
  int badLine;           // the line that ends the import, from 0; -1 for none
  std::size_t rowsRead;  // lines read when the table is large enough

  friend void PrintTo(const BadInputCase& c, std::ostream* os) { *os << c.label; }
};

class CsvBadInput : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(CsvBadInput, EndsWithinTheTableOrWithImproperFile) {
  const BadInputCase& c = GetParam();
  for (const CsvTable table : {CsvTable::Stations, CsvTable::PidHigh, CsvTable::Conversion}) {
    CsvImport result;
    (void)Imported(table, c.bytes(), &result);
    const bool reached = c.badLine >= 0 && c.badLine < ShapeOf(table).rows;
    EXPECT_EQ(result.complete, !reached) << static_cast<int>(table);
    EXPECT_EQ(result.error.empty(), !reached);
    EXPECT_EQ(result.importedRows.size(),
              std::min<std::size_t>(c.rowsRead, static_cast<std::size_t>(ShapeOf(table).rows)));
  }
}

std::string Binary() {
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes.push_back(static_cast<char>((i * 37 + 11) % 256));
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvBadInput,
    ::testing::Values(
        BadInputCase{"Empty", [] { return std::string(); }, -1, 0},
        BadInputCase{"OnlyLineEnd", [] { return std::string("\r\n"); }, -1, 1},
        BadInputCase{"MegabyteLine", [] { return std::string(1 << 20, 'A'); }, 0, 0},
        BadInputCase{"MegabyteLineAfterAGoodOne", [] { return "1,A\r\n" + std::string(1 << 20, 'A'); }, 1, 1},
        BadInputCase{"MillionLines", [] {
                       std::string bytes;
                       for (int i = 0; i < 1000000; ++i) bytes += "1,A\n";
                       return bytes;
                     }, -1, 1000000},
        BadInputCase{"TooManyFields", [] { return std::string(200, ',') + "\r\n"; }, 0, 0},
        // Lines of 30000 bytes: the 35th passes the 1 MiB bound of the file.
        BadInputCase{"MoreThanAMebibyteInLongLines", [] {
                       std::string bytes;
                       for (int i = 0; i < 40; ++i) bytes += "1," + std::string(29998, 'A') + "\n";
                       return bytes;
                     }, 34, 34},
        // Its first line starts with no entry number: refused whole.
        BadInputCase{"Binary", Binary, 0, 0}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace kv::csv
