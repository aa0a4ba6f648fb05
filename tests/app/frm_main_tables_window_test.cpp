// The CSV tables in the window: each export offers its own file name, the
// lists' name column fits an imported name, and an invalid imported station
// stops Transmit.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <fstream>

#include "app/settings_grid.h"
#include "files/csv_tables.h"
#include "main_window_fixture.h"
#include "window_on_sim.h"

namespace kv {
namespace {

struct SuggestedName {
  csv::CsvTable table;
  const char* fileName;
};

void PrintTo(const SuggestedName& c, std::ostream* out) { *out << c.fileName; }

class ExportOffersTheTablesName : public test::MainWindowFixture,
                                  public ::testing::WithParamInterface<SuggestedName> {};

TEST_P(ExportOffersTheTablesName, InTheSaveDialog) {
  ASSERT_TRUE(Load());
  window_->FillAllGrids();
  window_->ExportTable(GetParam().table);  // cancelled: no file
  ASSERT_FALSE(dialogs_.calls.empty());
  EXPECT_EQ(dialogs_.calls.back().kind, "save");
  EXPECT_EQ(dialogs_.calls.back().suggestedName, QString::fromLatin1(GetParam().fileName));
}

INSTANTIATE_TEST_SUITE_P(EveryTable, ExportOffersTheTablesName,
                         ::testing::Values(SuggestedName{csv::CsvTable::Stations, "Station.csv"},
                                           SuggestedName{csv::CsvTable::Users, "User.csv"}));

// The tables checked before export: an empty window holds no valid PID entry
// 17 or conversion row, and the window refuses as kvmaint export-csv does on
// the same record, naming the same cell; no save dialog.
class ExportOfAnEmptyCheckedTable : public test::MainWindowFixture,
                                    public ::testing::WithParamInterface<SuggestedName> {};

TEST_P(ExportOfAnEmptyCheckedTable, IsRefusedAsKvmaintRefusesIt) {
  ASSERT_TRUE(Load());
  window_->FillAllGrids();
  window_->ExportTable(GetParam().table);
  ASSERT_FALSE(dialogs_.calls.empty());
  EXPECT_EQ(dialogs_.calls.back().kind, "show");
  const std::string blocking =
      csv::BlockingCell(csv::CheckedBeforeExport(window_->EditInstrument(), GetParam().table));
  ASSERT_FALSE(blocking.empty());
  EXPECT_EQ(dialogs_.calls.back().text.toStdString(),
            "Improper data found  ( " + std::string(csv::ShapeOf(GetParam().table).title) + " ): " + blocking);
}

INSTANTIATE_TEST_SUITE_P(CheckedTables, ExportOfAnEmptyCheckedTable,
                         ::testing::Values(SuggestedName{csv::CsvTable::PidHigh, "PID_High17.csv"},
                                           SuggestedName{csv::CsvTable::PidLow, "PID_Low17.csv"},
                                           SuggestedName{csv::CsvTable::Conversion,
                                                         "UserConversion.csv"}));

class ListImport : public test::MainWindowFixture,
                   public ::testing::WithParamInterface<std::pair<csv::CsvTable, const char*>> {
 protected:
  void Import(csv::CsvTable table, const std::string& bytes) {
    const std::string path = (DataFolder() / "list.csv").string();
    std::ofstream(path, std::ios::binary) << bytes;
    dialogs_.files.push_back(QString::fromStdString(path));
    window_->ImportTable(table);
  }
};

TEST_P(ListImport, WidensTheNameColumnToTheLongestName) {
  ASSERT_TRUE(Load());
  window_->FillAllGrids();
  auto* grid = window_->findChild<SettingsGrid*>(QString::fromLatin1(GetParam().second));
  ASSERT_NE(grid, nullptr);
  window_->show();
  // A grid narrower than the name.
  grid->setMaximumWidth(120);
  QCoreApplication::processEvents();
  const QString longName = QStringLiteral("WWWWWWWWWWWWWWWW");
  Import(GetParam().first, "1,A\r\n2," + longName.toStdString() + "\r\n");
  ASSERT_EQ(grid->Text(1, 1), longName);
  const int column = 1 - grid->FixedCols();
  const int nameWidth = grid->fontMetrics().horizontalAdvance(longName);
  EXPECT_GE(grid->columnWidth(column), nameWidth);
  // Fitted, not merely wide: within the fitting's margin of the name.
  EXPECT_LE(grid->columnWidth(column), nameWidth + grid->fontMetrics().averageCharWidth() * 4);
}

INSTANTIATE_TEST_SUITE_P(StationsAndUsers, ListImport,
                         ::testing::Values(std::make_pair(csv::CsvTable::Stations, "vfgStation"),
                                           std::make_pair(csv::CsvTable::Users, "vfgUser")));

using test::WindowOnSim;

TEST_F(WindowOnSim, AnInvalidImportedStationIsRedAndStopsTransmit) {
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  const std::string path = dataDir_.filePath(QStringLiteral("Station.csv")).toStdString();
  std::ofstream(path, std::ios::binary) << "1,NORTH GATE\r\n2,BAD{NAME\r\n3,DOCK\r\n";
  dialogs_.files.push_back(QString::fromStdString(path));
  window_->findChild<QPushButton*>(QStringLiteral("cmdStationImport"))->click();
  const auto* stations = window_->findChild<SettingsGrid*>(QStringLiteral("vfgStation"));
  EXPECT_EQ(stations->Index(1, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));
  EXPECT_NE(stations->Index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));
  EXPECT_NE(stations->Index(2, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));

  const std::size_t callsBefore = dialogs_.calls.size();
  auto* send = window_->findChild<QPushButton*>(QStringLiteral("cmdSend"));
  ASSERT_TRUE(send->isEnabled());
  send->click();
  ASSERT_EQ(dialogs_.calls.size(), callsBefore + 1);
  EXPECT_EQ(dialogs_.calls.back().kind, "show");
  EXPECT_EQ(dialogs_.calls.back().icon, Dialogs::Icon::Critical);
  EXPECT_EQ(dialogs_.calls.back().text, QStringLiteral("Improper data found  ( Station List )"));
  EXPECT_FALSE(window_->Busy());
}

}  // namespace
}  // namespace kv
