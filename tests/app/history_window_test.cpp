// The history window on an in-memory store, beside a main window.
#include "app/history_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "app/settings_grid.h"
#include "files/kvd_writer.h"
#include "main_window_fixture.h"
#include "report/memory_store.h"
#include "support/sample_record.h"
#include "support/temp_folder.h"

namespace kv::test {
namespace {

using testsupport::MakeEvent;

// A maintenance data file's bytes, as a read keeps them in the history.
std::string SnapshotOf(const clsInstrument& record) {
  const testsupport::TempFolder folder;
  EXPECT_TRUE(WriteMaintenanceFile(record, folder.File("snapshot.kvd")).ok);
  return testsupport::ReadBytes(folder.File("snapshot.kvd"));
}

std::vector<std::vector<std::string>> Rows(const QTableWidget& table) {
  std::vector<std::vector<std::string>> rows;
  for (int row = 0; row < table.rowCount(); ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < table.columnCount(); ++column) {
      const QTableWidgetItem* item = table.item(row, column);
      cells.push_back(item != nullptr ? item->text().toStdString() : "");
    }
    rows.push_back(cells);
  }
  return rows;
}

class HistoryWindowTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    before_ = testsupport::SampleRecord();
    after_ = before_;
    ASSERT_TRUE(after_.SetWarning(3, 30) && after_.SetXS_(2, "DOCK 7"));
    // Recorded out of time order; the store gives them oldest first.
    store_.Record(MakeEvent("KV-2", "2026-02-10 08:00:00", history::kOpRead, SnapshotOf(before_)));
    store_.Record(MakeEvent("KV-1", "2026-03-01 09:00:00", history::kOpRead, SnapshotOf(after_)));
    store_.Record(MakeEvent("KV-1", "2026-01-05 14:30:00", history::kOpRead, SnapshotOf(before_)));
    history::Event span = MakeEvent("KV-1", "2026-02-01 11:00:00", history::kOpSpan);
    span.detail = "1  CH4  0; 2  OXY  0; 3  H2S  0; 4  CO   0; 5  CO2  -; 6  IBL  -; 7  ---  -";
    store_.Record(span);
    // Read from the instrument on 10 February: its channels were last
    // calibrated in December, and that is its last calibration.
    history::Event dated = MakeEvent("KV-2", "2026-02-10 08:05:00", history::kOpCalHistory);
    dated.detail =
        "{\"channels\": [\n"
        "  {\"channel\": 1, \"gas\": \"CH4\", \"date\": \"2025/12/01 08:00:00\", \"fitted\": true},\n"
        "  {\"channel\": 2, \"gas\": \"OXY\", \"date\": \"2025/11/20 09:30:00\", \"fitted\": true},\n"
        "  {\"channel\": 3, \"gas\": \"H2S\", \"date\": null, \"fitted\": true}\n"
        "]}\n";
    store_.Record(dated);
    store_.Record(MakeEvent("KV-1", "2026-02-20 10:00:00", history::kOpRead, "", "timeout"));
    ASSERT_TRUE(Load());
    window_->show();
    history_ = std::make_unique<frmHistory>(store_, *window_, dialogs_);
  }

  template <class W>
  W* InHistory(const char* name) {
    return history_->findChild<W*>(QString::fromLatin1(name));
  }

  int RowOf(const std::string& serial) {
    const auto rows = Rows(*InHistory<QTableWidget>("tblInstruments"));
    for (std::size_t row = 0; row < rows.size(); ++row) {
      if (rows[row][0] == serial) return static_cast<int>(row);
    }
    return -1;
  }

  void ChooseInstrument(const std::string& serial) {
    const int row = RowOf(serial);
    ASSERT_GE(row, 0) << serial;
    InHistory<QTableWidget>("tblInstruments")->setCurrentCell(row, 0);
  }

  clsInstrument before_, after_;
  testsupport::MemoryStore store_;
  std::unique_ptr<frmHistory> history_;
};

TEST_F(HistoryWindowTest, ListsEveryInstrumentWithItsLatestDates) {
  EXPECT_EQ(history_->objectName(), "frmHistory");
  auto rows = Rows(*InHistory<QTableWidget>("tblInstruments"));
  std::sort(rows.begin(), rows.end());
  // Up to the due column (history_window_fleet_test.cpp).
  for (auto& row : rows) row.resize(frmHistory::kCalibrationDue);
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                      {"KV-1", "KORVIN", "2026-03-01 09:00:00", "2026-03-01 09:00:00",
                       "2026-02-01 11:00:00"},
                      // The instrument's own calibration date, not when its history was read.
                      {"KV-2", "KORVIN", "2026-02-10 08:05:00", "2026-02-10 08:00:00", "2025-12-01 08:00:00"}}));
}

TEST_F(HistoryWindowTest, ShowsTheChosenInstrumentsEventsInTimeOrder) {
  ChooseInstrument("KV-1");
  std::vector<std::pair<std::string, std::string>> shown;
  for (const auto& row : Rows(*InHistory<QTableWidget>("tblEvents"))) shown.emplace_back(row[0], row[1]);
  EXPECT_EQ(shown, (std::vector<std::pair<std::string, std::string>>{
                       {"2026-01-05 14:30:00", "read"},
                       {"2026-02-01 11:00:00", "span"},
                       {"2026-02-20 10:00:00", "read"},
                       {"2026-03-01 09:00:00", "read"}}));
  ChooseInstrument("KV-2");
  EXPECT_EQ(InHistory<QTableWidget>("tblEvents")->rowCount(), 2);  // its read and its calibration history
}

TEST_F(HistoryWindowTest, OnlyEventsWithASnapshotCanBeCompared) {
  ChooseInstrument("KV-1");
  const QComboBox& a = *InHistory<QComboBox>("cboSnapshotA");
  ASSERT_EQ(a.count(), 2);
  EXPECT_EQ(a.itemText(0), "2026-01-05 14:30:00  read");
  EXPECT_EQ(a.itemText(1), "2026-03-01 09:00:00  read");
}

TEST_F(HistoryWindowTest, ShowsTheDifferencesOfTwoSnapshotsByName) {
  ChooseInstrument("KV-1");
  // By default the latest read (A) against the one before it (B).
  EXPECT_EQ(Rows(*InHistory<QTableWidget>("tblDifferences")),
            (std::vector<std::vector<std::string>>{{"CO warning level", "30 ppm", "25 ppm"},
                                                   {"Station 3", "DOCK 7", "(empty)"}}));
  EXPECT_EQ(InHistory<QLabel>("lblDifferences")->text(), "2 setting(s) differ.");
  history_->CompareSnapshots(0, 1);
  EXPECT_EQ(Rows(*InHistory<QTableWidget>("tblDifferences")),
            (std::vector<std::vector<std::string>>{{"CO warning level", "25 ppm", "30 ppm"},
                                                   {"Station 3", "(empty)", "DOCK 7"}}));
  history_->CompareSnapshots(1, 1);
  EXPECT_EQ(InHistory<QTableWidget>("tblDifferences")->rowCount(), 0);
  EXPECT_EQ(InHistory<QLabel>("lblDifferences")->text(), "The snapshots hold the same settings.");
}

TEST_F(HistoryWindowTest, LoadIntoTheGridsGivesTheMainWindowTheSnapshotToTransmit) {
  ChooseInstrument("KV-1");
  history_->CompareSnapshots(1, 1);  // B: the latest read
  InHistory<QPushButton>("cmdLoadIntoGrids")->click();
  const clsInstrument& loaded = window_->EditInstrument();
  EXPECT_EQ(loaded.Warning(3), 30);
  EXPECT_EQ(loaded.XS_(2), "DOCK 7");
  EXPECT_TRUE(loaded.Change_Warn(3)) << "a loaded snapshot is sent by Transmit";
  EXPECT_EQ(Find<SettingsGrid>("vfgStation")->Text(2, 1).trimmed(), "DOCK 7");
  EXPECT_TRUE(Find<QPushButton>("cmdSend")->isEnabled());
  EXPECT_TRUE(Find<QLineEdit>("txtPath")->text().isEmpty());
  EXPECT_EQ(window_->CurInstrument().Warning(3), clsInstrument().Warning(3))
      << "the instrument's record is not touched";
}

TEST_F(HistoryWindowTest, ASnapshotCutShortIsComparedAndLoadedAsFarAsItGoes) {
  const std::string whole = SnapshotOf(after_);
  store_.Record(MakeEvent("KV-3", "2026-04-01 08:00:00", history::kOpRead, whole));
  store_.Record(MakeEvent("KV-3", "2026-04-02 08:00:00", history::kOpRead,
                          whole.substr(0, whole.size() / 2) + "\x01garbage"));
  history_->Refresh();
  ChooseInstrument("KV-3");
  EXPECT_TRUE(InHistory<QLabel>("lblDifferences")->text().contains("read only in part"));
  history_->CompareSnapshots(0, 1);
  InHistory<QPushButton>("cmdLoadIntoGrids")->click();
  EXPECT_TRUE(PaneLines().join(QLatin1Char('\n')).contains("history of KV-3 at 2026-04-02 08:00:00"))
      << PaneLines().join(QLatin1Char('\n')).toStdString();
}

TEST_F(HistoryWindowTest, AFailedQueryIsShownAndLeavesNothingToLoad) {
  ChooseInstrument("KV-1");
  store_.FailQueries("database is locked");
  history_->Refresh();
  EXPECT_EQ(InHistory<QTableWidget>("tblInstruments")->rowCount(), 0);
  EXPECT_FALSE(InHistory<QPushButton>("cmdLoadIntoGrids")->isEnabled());
  EXPECT_TRUE(InHistory<QLabel>("lblStatus")->text().contains("database is locked"));
}

}  // namespace
}  // namespace kv::test
