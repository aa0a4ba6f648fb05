// The History window's fleet views on a small history: each instrument's
// calibration due state with its colour and the "due or overdue" filter, a
// calibration event's certificate, and the compliance view with its policy
// file kept in KVMaintenance.ini across a new window.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "app/compliance_view.h"
#include "app/history_window.h"
#include "files/configuration.h"
#include "files/ini_file.h"
#include "files/kvd_writer.h"
#include "fleet/calibration_due.h"
#include "main_window_fixture.h"
#include "report/memory_store.h"
#include "report/report_test_support.h"
#include "support/sample_record.h"
#include "support/temp_folder.h"

namespace kv::test {
namespace {

using testsupport::MakeEvent;

// A span that calibrated every fitted channel of `record` (status 0 each).
history::Event SpanOfEveryChannel(const std::string& serial, const std::string& time, const clsInstrument& record) {
  history::Event span = MakeEvent(serial, time, history::kOpSpan);
  for (const fleet::ChannelCalibration& c : fleet::CalibrationsOf(record)) {
    if (!c.fitted) continue;
    span.detail += (span.detail.empty() ? "" : "; ") + std::to_string(c.channel + 1) + "  " + c.gas + "  0";
  }
  return span;
}

class HistoryFleetTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    record_ = testsupport::SampleRecord();
    record_.StoreCalLimit(90);
    const std::string snapshot = MaintenanceFileText(record_);
    // The window's clock stands at 2026/03/07: OK-1 was calibrated six days
    // before, LATE-1 nine months before; NEW-1 was only ever switched off.
    store_.Record(MakeEvent("OK-1", "2026-03-01 09:00:00", history::kOpRead, snapshot));
    store_.Record(SpanOfEveryChannel("OK-1", "2026-03-01 10:00:00", record_));
    store_.Record(MakeEvent("LATE-1", "2026-03-02 09:00:00", history::kOpRead, snapshot));
    store_.Record(SpanOfEveryChannel("LATE-1", "2025-06-01 10:00:00", record_));
    store_.Record(MakeEvent("NEW-1", "2026-03-03 09:00:00", history::kOpPowerOff));
    ASSERT_TRUE(Load());
    OpenHistory();
  }

  void OpenHistory() { history_ = std::make_unique<frmHistory>(store_, *window_, dialogs_); }

  template <class W>
  W* InHistory(const char* name) {
    return history_->findChild<W*>(QString::fromLatin1(name));
  }

  int RowOf(const char* name, const std::string& serial) {
    const QTableWidget& table = *InHistory<QTableWidget>(name);
    for (int row = 0; row < table.rowCount(); ++row) {
      if (table.item(row, 0)->text().toStdString() == serial) return row;
    }
    return -1;
  }

  std::vector<std::string> VisibleInstruments() {
    const QTableWidget& table = *InHistory<QTableWidget>("tblInstruments");
    std::vector<std::string> shown;
    for (int row = 0; row < table.rowCount(); ++row) {
      if (!table.isRowHidden(row)) shown.push_back(table.item(row, 0)->text().toStdString());
    }
    std::sort(shown.begin(), shown.end());
    return shown;
  }

  clsInstrument record_;
  testsupport::MemoryStore store_;
  std::unique_ptr<frmHistory> history_;
  testsupport::TempFolder folder_;
};

struct DueCase {
  const char* serial;
  const char* stateStarts;  // the due column's text begins so
  QColor background;        // invalid: none
};

class HistoryDueColumnTest : public HistoryFleetTest, public ::testing::WithParamInterface<DueCase> {};

TEST_P(HistoryDueColumnTest, ShowsEachInstrumentsStateInWordsAndColour) {
  const DueCase& expected = GetParam();
  const int row = RowOf("tblInstruments", expected.serial);
  ASSERT_GE(row, 0);
  const QTableWidgetItem* cell = InHistory<QTableWidget>("tblInstruments")->item(row, frmHistory::kCalibrationDue);
  ASSERT_NE(cell, nullptr);
  EXPECT_TRUE(cell->text().startsWith(QLatin1String(expected.stateStarts))) << cell->text().toStdString();
  EXPECT_EQ(cell->background().style() != Qt::NoBrush ? cell->background().color() : QColor(),
            expected.background);
}

INSTANTIATE_TEST_SUITE_P(History, HistoryDueColumnTest,
                         ::testing::Values(DueCase{"OK-1", "ok (ch", QColor(198, 239, 206)},
                                           DueCase{"LATE-1", "overdue (ch", QColor(255, 199, 206)},
                                           DueCase{"NEW-1", "never read", QColor()}));

TEST_F(HistoryFleetTest, TheDueChannelAndDateAreInTheToolTip) {
  const QTableWidgetItem* late =
      InHistory<QTableWidget>("tblInstruments")->item(RowOf("tblInstruments", "LATE-1"), frmHistory::kCalibrationDue);
  // Nine months ago plus 90 days.
  EXPECT_TRUE(late->toolTip().contains(QStringLiteral("due 2025/08/30"))) << late->toolTip().toStdString();
}

TEST_F(HistoryFleetTest, TheFilterShowsOnlyInstrumentsDueOrOverdue) {
  EXPECT_EQ(VisibleInstruments(), (std::vector<std::string>{"LATE-1", "NEW-1", "OK-1"}));
  InHistory<QCheckBox>("chkDueOnly")->click();
  EXPECT_EQ(VisibleInstruments(), std::vector<std::string>{"LATE-1"});
  // A calibration recorded since: a refresh judges again, and the filter stays.
  store_.Record(SpanOfEveryChannel("LATE-1", "2026-03-06 10:00:00", record_));
  history_->Refresh();
  EXPECT_EQ(VisibleInstruments(), std::vector<std::string>{});
  InHistory<QCheckBox>("chkDueOnly")->click();
  EXPECT_EQ(VisibleInstruments(), (std::vector<std::string>{"LATE-1", "NEW-1", "OK-1"}));
}

TEST_F(HistoryFleetTest, ACertificateIsWrittenForTheSelectedCalibrationOnly) {
  InHistory<QTableWidget>("tblInstruments")->setCurrentCell(RowOf("tblInstruments", "OK-1"), 0);
  QTableWidget& events = *InHistory<QTableWidget>("tblEvents");
  ASSERT_EQ(events.rowCount(), 2);
  events.setCurrentCell(0, 0);  // the read
  EXPECT_FALSE(InHistory<QPushButton>("cmdCertificate")->isEnabled());
  events.setCurrentCell(1, 0);  // the span
  ASSERT_TRUE(InHistory<QPushButton>("cmdCertificate")->isEnabled());
  const std::string pdf = folder_.File("certificate.pdf");
  dialogs_.files = {QString::fromStdString(pdf)};
  InHistory<QPushButton>("cmdCertificate")->click();
  const std::string text = PdfText(pdf);
  ASSERT_FALSE(text.empty()) << "no certificate written";
  for (const char* shown : {"Calibration Certi", "OK-1", "ch1", "CH4", "passed", "2026/03/01 10:00:00"}) {
    EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
  }
  EXPECT_TRUE(InHistory<QLabel>("lblStatus")->text().startsWith(QStringLiteral("Certificate written")));
}

TEST_F(HistoryFleetTest, ThePolicyFileIsChosenOnceAndKeptForTheNextWindow) {
  EXPECT_EQ(InHistory<QLabel>("lblPolicy")->text(), "No policy file chosen.");
  clsInstrument policy = record_;
  ASSERT_TRUE(policy.SetWarning(3, 30));
  const std::string policyFile = folder_.File("company.kvd");
  ASSERT_TRUE(WriteMaintenanceFile(policy, policyFile).ok);
  dialogs_.files = {QString::fromStdString(policyFile)};
  InHistory<QPushButton>("cmdPolicy")->click();

  const auto audited = [this] {
    std::vector<std::vector<std::string>> rows;
    const QTableWidget& table = *InHistory<QTableWidget>("tblCompliance");
    for (int row = 0; row < table.rowCount(); ++row) {
      std::vector<std::string> cells;
      for (int column : {0, 3, 4, 5, 6}) {
        cells.push_back(table.item(row, column) != nullptr ? table.item(row, column)->text().toStdString() : "");
      }
      rows.push_back(cells);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
  };
  const std::vector<std::vector<std::string>> expected{
      {"LATE-1", "differs", "CO warning level", "30 ppm", "25 ppm"},
      {"NEW-1", "never read", "", "", ""},
      {"OK-1", "differs", "CO warning level", "30 ppm", "25 ppm"}};
  EXPECT_EQ(audited(), expected);
  EXPECT_EQ(InHistory<QLabel>("lblComplianceSummary")->text(), "0 compliant, 2 differ, 1 never read");
  EXPECT_EQ(GetProfileString("Fleet", "PolicyFile", "", ConfigurationPath(DataFolder().string())), policyFile);

  // A new window audits against the kept file without asking.
  history_.reset();
  dialogs_.calls.clear();
  OpenHistory();
  EXPECT_TRUE(dialogs_.calls.empty());
  EXPECT_EQ(InHistory<QLabel>("lblPolicy")->text().toStdString(), "Policy: " + policyFile);
  EXPECT_EQ(audited(), expected);
}

}  // namespace
}  // namespace kv::test
