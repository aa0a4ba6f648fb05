// Station mode in the window against the simulated instrument running a line of two
// instruments, the second refusing one write: the per-instrument table
// before the start, the tile of the adapter, the list of instruments done
// and the report beside the backups. Then two adapters at once, the second
// a line of simulated instruments plugged in and pulled out: a tile each,
// one list and one report.
#include <QDialog>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <map>

#include "app/station_dialog.h"
#include "app/station_host.h"
#include "app/station_tile.h"
#include "files/kvd_writer.h"
#include "ops/station_files.h"
#include "ops/station_settings.h"
#include "files/kvd_reader.h"
#include "sim/sim_line.h"
#include "sim/station_ports_rig.h"
#include "support/run_checks.h"
#include "support/temp_folder.h"
#include "window_on_sim.h"

namespace kv::test {
namespace {

constexpr int kLineTimeoutMs = 90000;

// A further adapter: a line of simulated instruments in this process on the
// window's clock, each switched on 1 s after the one before was switched
// off; its replies reach the link on the next turn of the event loop, as a
// serial port's do. Its cable can be pulled.
class SimAdapter final : public StationAdapter {
 public:
  static constexpr int kBackTicks = 10;

  SimAdapter(const Clock& clock, std::vector<clsInstrument> units, std::vector<SimAdapter*>& opened)
      : instrument(clock, units.front()),
        line(std::move(units)),
        simPort(instrument),
        port(simPort),
        link_(port, clock),
        opened_(opened) {
    instrument.SetSwitchesOff(true);
    simPort.SetReplyAtOnce(false);
    port.Attach(&link_);
    link_.SetRetry(3);
    link_.SetTimeout(3);
    opened_.push_back(this);
    QObject::connect(&replies_, &QTimer::timeout, [this] { simPort.Pump(); });
    replies_.start(0);
  }
  ~SimAdapter() override {
    port.Attach(nullptr);
    opened_.erase(std::find(opened_.begin(), opened_.end(), this));
  }
  SimAdapter(const SimAdapter&) = delete;
  SimAdapter& operator=(const SimAdapter&) = delete;

  uclTzif& Link() override { return link_; }
  void Tick() {
    link_.Tick();
    offTicks_ = instrument.PoweredOff() ? offTicks_ + 1 : 0;
    if (offTicks_ >= kBackTicks) {
      offTicks_ = 0;
      line.Advance(instrument);
    }
  }

  sim::SimInstrument instrument;
  sim::SimLine line;
  sim::SimTransport simPort;
  sim::testing::UnpluggableTransport port;

 private:
  uclTzif link_;
  QTimer replies_;
  std::vector<SimAdapter*>& opened_;
  int offTicks_ = 0;
};

// The window's own adapter and the simulated lines plugged in besides it.
class SimAdapterHost final : public StationHost {
 public:
  SimAdapterHost(frmMain& window, const Clock& clock, QString own)
      : window_(window), clock_(clock), own_(std::move(own)) {}

  std::filesystem::path BackupFolder() const override { return window_.BackupFolder(); }
  DateTime Now() const override { return clock_.Now(); }
  QString OwnPort() const override { return own_; }
  uclTzif* FreeLink() override { return window_.Link().TaskRunning() ? nullptr : &window_.Link(); }
  QStringList OtherAdapters() override { return plugged; }
  std::unique_ptr<StationAdapter> OpenAdapter(const QString& port) override {
    const auto found = lines.find(port);
    if (found == lines.end()) return nullptr;
    return std::make_unique<SimAdapter>(clock_, found->second, opened);
  }

  QStringList plugged;
  std::map<QString, std::vector<clsInstrument>> lines;
  std::vector<SimAdapter*> opened;  // each adapter the station window holds

 private:
  frmMain& window_;
  const Clock& clock_;
  QString own_;
};

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

  const StationTile* tile = station->Tile(QString::fromStdString(sim_->Device()));
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(tile->property("phase").toString(), QStringLiteral("failed"));
  EXPECT_EQ(tile->findChild<QLabel*>(QStringLiteral("lblTileSerial"))->text(), QStringLiteral("WIN-002"));
  EXPECT_TRUE(tile->findChild<QLabel*>(QStringLiteral("lblTileDetail"))->text().startsWith(QStringLiteral("at transmit: ")));
  EXPECT_TRUE(tile->findChild<QLabel*>(QStringLiteral("lblTileDetail"))->text().endsWith(QString::fromLatin1(kTakeFailedInstrumentOff)))
      << "the tile says what to do with the failed instrument";
  EXPECT_EQ(tile->palette().color(QPalette::Window), QColor(QStringLiteral("#c62828")));

  QSignalSpy ended(station, &StationDialog::RunEnded);
  station->findChild<QPushButton*>(QStringLiteral("cmdStationStop"))->click();
  ASSERT_TRUE(WaitFor([&] { return !ended.isEmpty(); }, 30000));
  EXPECT_FALSE(station->Running());
  const std::filesystem::path report = station->ReportPath().toStdString();
  EXPECT_EQ(report.parent_path(), window_->BackupFolder());
  const std::string csv = testsupport::ReadBytes(report.string());
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3) << csv;
}

TEST_F(StationWindowTest, TwoAdaptersShowATileEachAndShareTheListAndTheReport) {
  ASSERT_NO_FATAL_FAILURE(Start({QStringLiteral("--line"), QString::fromStdString(Unit("ONE-001", 10)),
                                 QString::fromStdString(Unit("ONE-002", 20)), QStringLiteral("--power-on-after"),
                                 QStringLiteral("1")}));
  const QString own = QString::fromStdString(sim_->Device());
  const QString second = QStringLiteral("sim:second");
  auto owned = std::make_unique<SimAdapterHost>(*window_, sim_->Time(), own);
  SimAdapterHost& host = *owned;
  // The second line's instruments as the simulator's own, with their serials and calibrations.
  const auto unit = [this](const std::string& serial, int calibration) {
    clsInstrument record = sim_->Instrument().Device().Settings();
    [[maybe_unused]] const bool set = record.SetHH_(1, calibration);
    record.SetSerialNo(serial);
    record.ClearChangeFlags();
    return record;
  };
  host.lines[second] = {unit("TWO-001", 30), unit("TWO-002", 40)};
  host.plugged = {second};
  auto* station = new StationDialog(std::move(owned), nullptr, window_.get());
  time_->StartTicks([this, &host] {
    window_->SessionTick();
    for (SimAdapter* adapter : host.opened) adapter->Tick();
  });
  station->show();
  ASSERT_TRUE(station->SetFile(QString::fromStdString(Company())));
  ASSERT_TRUE(station->StartRun());

  const StationTile* first = station->Tile(own);
  const StationTile* other = station->Tile(second);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(first->findChild<QLabel*>(QStringLiteral("lblTilePort"))->text(), own);
  EXPECT_EQ(other->findChild<QLabel*>(QStringLiteral("lblTilePort"))->text(), second);
  auto* done = station->findChild<QTableWidget*>(QStringLiteral("tblStationDone"));
  ASSERT_TRUE(WaitFor([done] { return done->rowCount() == 4; }, kLineTimeoutMs)) << done->rowCount();
  EXPECT_EQ(first->DoneHere(), 2);
  EXPECT_EQ(other->DoneHere(), 2);
  std::map<QString, QString> adapterOf;
  for (int row = 0; row < done->rowCount(); ++row) {
    EXPECT_EQ(Cell(done, row, 4), QStringLiteral("done")) << Cell(done, row, 1).toStdString();
    adapterOf[Cell(done, row, 1)] = Cell(done, row, 6);
  }
  const std::map<QString, QString> expected = {{QStringLiteral("ONE-001"), own},
                                               {QStringLiteral("ONE-002"), own},
                                               {QStringLiteral("TWO-001"), second},
                                               {QStringLiteral("TWO-002"), second}};
  EXPECT_EQ(adapterOf, expected);

  // The second adapter is pulled out: its tile goes, the first stays.
  host.plugged.clear();
  ASSERT_EQ(host.opened.size(), 1U);
  host.opened.front()->port.Unplug();
  station->SearchAdapters();
  EXPECT_EQ(station->Tile(second), nullptr);
  EXPECT_TRUE(host.opened.empty());
  EXPECT_NE(station->Tile(own), nullptr);

  QSignalSpy ended(station, &StationDialog::RunEnded);
  station->StopRun();
  ASSERT_TRUE(WaitFor([&] { return !ended.isEmpty(); }, 30000));
  const std::filesystem::path report = station->ReportPath().toStdString();
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(testsupport::Lines(testsupport::ReadBytes(report.string())).size(), 5U) << "a header and four rows";
  int reports = 0;
  for (const auto& entry : std::filesystem::directory_iterator(report.parent_path())) {
    reports += entry.path().extension() == ".csv";
  }
  EXPECT_EQ(reports, 1);
}

}  // namespace
}  // namespace kv::test
