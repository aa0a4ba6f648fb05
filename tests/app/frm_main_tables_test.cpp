// The window's CSV buttons: import into the grids with invalid cells on red
// and the entries flagged, export blocked by a red cell, "Export Complete".
#include <gtest/gtest.h>

#include <QPushButton>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/settings_grid.h"
#include "main_window_fixture.h"

namespace kv {
namespace {

const QColor kRed(255, 0, 0);

class TableButtons : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ASSERT_TRUE(Load());
    window_->FillAllGrids();
  }

  std::string Csv(const std::string& name, const std::string& bytes) {
    const std::string path = (DataFolder() / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  void Import(csv::CsvTable table, const std::string& name, const std::string& bytes) {
    dialogs_.files.push_back(QString::fromStdString(Csv(name, bytes)));
    window_->ImportTable(table);
  }

  SettingsGrid& Grid(const char* name) { return *Find<SettingsGrid>(name); }

  QColor Background(const char* grid, int row, int col) {
    return Grid(grid).Index(row, col).data(Qt::BackgroundRole).value<QBrush>().color();
  }
};

TEST_F(TableButtons, EveryTableHasItsNamedButtons) {
  for (const char* name : {"cmdStationExport", "cmdStationImport", "cmdUserExport", "cmdUserImport",
                           "cmdPIDExport0", "cmdPIDImport0", "cmdPIDExport1", "cmdPIDImport1",
                           "cmdConvExport", "cmdConvImport"}) {
    EXPECT_NE(Find<QPushButton>(name), nullptr) << name;
  }
}

TEST_F(TableButtons, AStationImportFillsRowsMarksRedAndFlagsTheEntries) {
  Import(csv::CsvTable::Stations, "s.csv", "5,ALPHA,BETA\r\n2,{BAD}\r\n3\tGATE\r\n");
  EXPECT_EQ(Grid("vfgStation").Text(0, 1), QStringLiteral("ALPHA,BETA"));
  EXPECT_EQ(Grid("vfgStation").Text(2, 1), QStringLiteral("GATE"));
  EXPECT_EQ(Background("vfgStation", 1, 1), kRed);
  EXPECT_EQ(Background("vfgStation", 0, 1), kRed) << "a comma splits the name's field";
  EXPECT_NE(Background("vfgStation", 2, 1), kRed);
  for (int entry = 0; entry < 4; ++entry) {
    EXPECT_EQ(window_->EditInstrument().Change_XS_(entry), entry < 3) << entry;
  }
  window_->StoreGrids();
  EXPECT_EQ(window_->EditInstrument().XS_(0), "ALPHA,BETA");
}

TEST_F(TableButtons, ARedConversionCellBlocksTheExport) {
  Import(csv::CsvTable::Conversion, "c.csv", "1,HEX,Hexane,30,100,200,1000,normal\r\n");
  EXPECT_EQ(Grid("vfgUserConv").Text(1, 7), QStringLiteral("Normal"));
  EXPECT_EQ(Background("vfgUserConv", 1, 3), kRed);
  dialogs_.calls.clear();
  window_->ExportTable(csv::CsvTable::Conversion);
  ASSERT_EQ(dialogs_.calls.size(), 1U) << "no save dialog";
  // With the cell that blocks it, as kvmaint export-csv names it.
  EXPECT_TRUE(dialogs_.calls[0].text.startsWith(QStringLiteral(
      "Improper data found  ( User Defined Conversion Table ): row 1, column 3 (Factor): \"30\" ")))
      << dialogs_.calls[0].text.toStdString();
}

TEST_F(TableButtons, ARedLowRangeCellBlocksTheHighRangeExport) {
  Import(csv::CsvTable::PidLow, "p.csv", "17,BEN,BENZENE,12,1/100,ppm,0.01,1,2,,,5,0.25\r\n");
  EXPECT_EQ(Background("vfgPID1", 17, 3), kRed);
  dialogs_.calls.clear();
  window_->ExportTable(csv::CsvTable::PidHigh);
  ASSERT_EQ(dialogs_.calls.size(), 1U);
  // Named by the first cell that blocks it (the empty high range comes first here).
  EXPECT_TRUE(dialogs_.calls[0].text.startsWith(
      QStringLiteral("Improper data found  ( PID Sensor Settings ): High Range row 17, column ")))
      << dialogs_.calls[0].text.toStdString();
}

TEST_F(TableButtons, TheUserListExportsItsRowsAndSaysSo) {
  Import(csv::CsvTable::Users, "u.csv", "1,ALICE\r\n");
  const std::string out = (DataFolder() / "User.csv").string();
  dialogs_.files.push_back(QString::fromStdString(out));
  dialogs_.calls.clear();
  window_->ExportTable(csv::CsvTable::Users);
  ASSERT_EQ(dialogs_.calls.size(), 2U);
  EXPECT_EQ(dialogs_.calls[1].text, QStringLiteral("Export Complete"));
  std::ifstream in(out, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.substr(0, 17), "1,ALICE\r\n2,\r\n3,\r\n");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 32);
}

TEST_F(TableButtons, ALineTooLongForTheTokenizerSaysImproperFile) {
  Import(csv::CsvTable::Users, "bad.csv", "1,OK\r\n" + std::string(300, ',') + "\r\n");
  EXPECT_EQ(Grid("vfgUser").Text(0, 1), QStringLiteral("OK"));
  ASSERT_FALSE(dialogs_.calls.empty());
  EXPECT_EQ(dialogs_.calls.back().text, QStringLiteral("Improper file\nline 2 has more than 129 fields"));
}

TEST_F(TableButtons, ACancelledDialogChangesNothing) {
  window_->ImportTable(csv::CsvTable::Stations);
  window_->ExportTable(csv::CsvTable::Stations);
  for (const auto& call : dialogs_.calls) EXPECT_NE(call.kind, "show") << call.text.toStdString();
  EXPECT_FALSE(window_->EditInstrument().Change_XS_(0));
}

}  // namespace
}  // namespace kv
