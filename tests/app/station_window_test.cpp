// Station mode in the window against the simulated instrument running a line of two
// instruments, the second refusing one write: the per-instrument table
// before the start, the status of the instrument on the adapter, the list of
// instruments done and the report beside the backups.
#include <QDialog>
#include <QLabel>
#include <QTableWidget>

#include "app/station_dialog.h"
#include "files/kvd_writer.h"
#include "ops/station_settings.h"
#include "files/kvd_reader.h"
#include "support/temp_folder.h"
#include "window_on_sim.h"

namespace kv::test {
namespace {

constexpr int kLineTimeoutMs = 90000;

class StationWindowTest : public WindowOnSim {
 protected:
  // The simulator's own settings, as its state file on exit: a file the
  // instrument takes line by line.
  clsInstrument Base() {
    const std::string path = files_.File("base.kvd");
    inproc::Simulator plain({"--state-out", path});
    EXPECT_EQ(plain.Stop(), 0);
    clsInstrument base;
    EXPECT_TRUE(ReadMaintenanceFile(base, path).complete);
    return base;
  }

  // Writes an instrument of the line and returns its path.
  std::string Unit(const std::string& serial, int calibration) {
    clsInstrument unit = base_;
    [[maybe_unused]] const bool set = unit.SetHH_(1, calibration);
    const std::string path = files_.File(serial + ".kvd");
    EXPECT_TRUE(WriteMaintenanceFile(unit, path).ok);
    return path;
  }

  std::string Company() {
    clsInstrument file = base_;
    [[maybe_unused]] bool set = file.SetHH_(1, 99);
    file.SetLcdContrast(file.LcdContrast() == 12 ? 11 : 12);
    set = file.SetWarning(3, file.Warning(3) + 5);
    const std::string path = files_.File("company.kvd");
    EXPECT_TRUE(WriteMaintenanceFile(file, path).ok);
    return path;
  }

  QString Cell(QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item == nullptr ? QString() : item->text();
  }

  testsupport::TempFolder files_{"kv_station_window"};
  clsInstrument base_ = Base();
};

TEST_F(StationWindowTest, RunsTheLineAndReportsEachInstrument) {
  const QString first = QString::fromStdString(Unit("WIN-001", 10));
  const QString second = QString::fromStdString(Unit("WIN-002", 20));
  ASSERT_NO_FATAL_FAILURE(Start({QStringLiteral("--line"), first, second, QStringLiteral("--power-on-after"),
                                 QStringLiteral("1"), QStringLiteral("--refuse-write"),
                                 QStringLiteral("WIN-002:A1")}));

  window_->findChild<QPushButton*>(QStringLiteral("cmdStation"))->click();
  auto* station = window_->findChild<StationDialog*>(QStringLiteral("frmStation"));
  ASSERT_NE(station, nullptr);
  ASSERT_TRUE(station->isVisible());
  auto* perInstrument = station->findChild<QTableWidget*>(QStringLiteral("tblPerInstrument"));
  ASSERT_EQ(perInstrument->rowCount(), static_cast<int>(PerInstrumentSettings().size()));
  EXPECT_EQ(Cell(perInstrument, 0, 0), QStringLiteral("Serial number"));

  auto* start = station->findChild<QPushButton*>(QStringLiteral("cmdStationStart"));
  EXPECT_FALSE(start->isEnabled()) << "no file chosen yet";
  auto* status = station->findChild<QLabel*>(QStringLiteral("lblStationStatus"));
  ASSERT_TRUE(station->SetFile(QString::fromStdString(Company()))) << status->text().toStdString();
  ASSERT_TRUE(start->isEnabled());
  start->click();
  ASSERT_TRUE(station->Running());

  auto* done = station->findChild<QTableWidget*>(QStringLiteral("tblStationDone"));
  ASSERT_TRUE(WaitFor([done] { return done->rowCount() == 2; }, kLineTimeoutMs));
  EXPECT_EQ(Cell(done, 0, 1), QStringLiteral("WIN-001"));
  EXPECT_EQ(Cell(done, 0, 2), QStringLiteral("2/2"));
  EXPECT_EQ(Cell(done, 0, 3), QStringLiteral("verified"));
  EXPECT_EQ(Cell(done, 0, 4), QStringLiteral("done"));
  EXPECT_EQ(Cell(done, 1, 1), QStringLiteral("WIN-002"));
  EXPECT_EQ(Cell(done, 1, 4), QStringLiteral("failed at transmit"));
  EXPECT_TRUE(Cell(done, 1, 5).startsWith(QStringLiteral("transmit failed at CH4 warning level and 6 more (A1,W)"))) << Cell(done, 1, 5).toStdString();

  EXPECT_EQ(status->property("phase").toString(), QStringLiteral("failed"));
  EXPECT_TRUE(status->text().contains(QStringLiteral("WIN-002")));
  EXPECT_EQ(status->palette().color(QPalette::Window), QColor(QStringLiteral("#c62828")));

  QSignalSpy ended(station, &StationDialog::RunEnded);
  station->findChild<QPushButton*>(QStringLiteral("cmdStationStop"))->click();
  ASSERT_TRUE(WaitFor([&] { return !ended.isEmpty(); }, 30000));
  EXPECT_FALSE(station->Running());
  const std::filesystem::path report = station->ReportPath().toStdString();
  EXPECT_EQ(report.parent_path(), window_->BackupFolder());
  const std::string csv = testsupport::ReadBytes(report.string());
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3) << csv;
}

}  // namespace
}  // namespace kv::test
