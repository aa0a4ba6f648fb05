#include "app/station_dialog.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/station_tile.h"
#include "link/link.h"
#include "ops/station_files.h"
#include "ops/station_settings.h"
#include "qtedge/latin1.h"

namespace kv {
namespace {

// Two tiles side by side: each stays readable from a metre away on a
// 1366x768 screen.
constexpr int kTileColumns = 2;
constexpr int kDoneColumns = 7;

QTableWidgetItem* Cell(const std::string& text) {
  auto* item = new QTableWidgetItem(ToQString(text));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

QTableWidget* Table(QWidget* parent, const char* name, const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
  table->setObjectName(QString::fromLatin1(name));
  table->setHorizontalHeaderLabels(headers);
  table->horizontalHeader()->setStretchLastSection(true);
  table->verticalHeader()->setVisible(false);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  return table;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

// An instrument is being read or written: an adapter pulled out now fails
// it at its step before its cycle ends.
bool MidInstrument(StationPhase phase) {
  return phase == StationPhase::Reading || phase == StationPhase::Writing || phase == StationPhase::Verifying ||
         phase == StationPhase::Finishing;
}

}  // namespace

StationDialog::StationDialog(std::unique_ptr<StationHost> host, history::Recorder* recorder, QWidget* parent)
    : QDialog(parent), host_(std::move(host)), recorder_(recorder) {
  setObjectName(QStringLiteral("frmStation"));
  setWindowTitle(tr("Station mode"));
  auto* column = new QVBoxLayout(this);

  // Everything but the buttons and the report line scrolls: those stay in
  // sight on a small screen.
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(BuildControls(scroll));
  column->addWidget(scroll, 1);

  auto* buttonRow = new QHBoxLayout;
  lblStationStatus = new QLabel(this);
  lblStationStatus->setObjectName(QStringLiteral("lblStationStatus"));
  lblStationStatus->setWordWrap(true);
  buttonRow->addWidget(lblStationStatus, 1);
  cmdStationStart = Button(this, "cmdStationStart", tr("Start"));
  cmdStationStart->setDefault(true);
  cmdStationStop = Button(this, "cmdStationStop", tr("Stop"));
  buttonRow->addWidget(cmdStationStart);
  buttonRow->addWidget(cmdStationStop);
  column->addLayout(buttonRow);
  lblStationReport = new QLabel(this);
  lblStationReport->setObjectName(QStringLiteral("lblStationReport"));
  lblStationReport->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(lblStationReport);

  adapterSearch_ = new QTimer(this);
  adapterSearch_->setInterval(kAdapterSearchMs);
  connect(adapterSearch_, &QTimer::timeout, this, &StationDialog::SearchAdapters);
  connect(cmdStationFile, &QPushButton::clicked, this, &StationDialog::ChooseFile);
  connect(cmdStationStart, &QPushButton::clicked, this, [this] { StartRun(); });
  connect(cmdStationStop, &QPushButton::clicked, this, &StationDialog::StopRun);

  setMinimumSize(640, 480);
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize room = screen != nullptr ? screen->availableSize() : QSize(1366, 768);
  resize(std::min(1100, room.width() - 40), std::min(740, room.height() - 60));
  ShowStatus(tr("Choose the distributed file, then Start"));
  UpdateButtons();
}

QWidget* StationDialog::BuildControls(QWidget* parent) {
  auto* controls = new QWidget(parent);
  auto* column = new QVBoxLayout(controls);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(new QLabel(tr("Distributed file:"), controls));
  txtStationFile = new QLineEdit(controls);
  txtStationFile->setObjectName(QStringLiteral("txtStationFile"));
  txtStationFile->setReadOnly(true);
  fileRow->addWidget(txtStationFile, 1);
  cmdStationFile = Button(controls, "cmdStationFile", tr("Choose..."));
  fileRow->addWidget(cmdStationFile);
  column->addLayout(fileRow);

  column->addWidget(new QLabel(tr("Kept as each instrument has them (never written):"), controls));
  tblPerInstrument = Table(controls, "tblPerInstrument", {tr("Setting"), tr("Why")});
  tblPerInstrument->setWordWrap(false);
  for (const PerInstrumentSetting& setting : PerInstrumentSettings()) {
    const int row = tblPerInstrument->rowCount();
    tblPerInstrument->insertRow(row);
    tblPerInstrument->setItem(row, 0, Cell(std::string(setting.label)));
    tblPerInstrument->setItem(row, 1, Cell(std::string(setting.reason)));
  }
  tblPerInstrument->resizeColumnToContents(0);
  tblPerInstrument->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  // Every row in sight: the operator reads them all before starting.
  tblPerInstrument->setFixedHeight(tblPerInstrument->verticalHeader()->length() +
                                   tblPerInstrument->horizontalHeader()->sizeHint().height() + 4);
  column->addWidget(tblPerInstrument);

  auto* optionRow = new QHBoxLayout;
  chkStationVerify = new QCheckBox(tr("Verify"), controls);
  chkStationVerify->setObjectName(QStringLiteral("chkStationVerify"));
  chkStationClock = new QCheckBox(tr("Set clock"), controls);
  chkStationClock->setObjectName(QStringLiteral("chkStationClock"));
  chkStationPowerOff = new QCheckBox(tr("Power off"), controls);
  chkStationPowerOff->setObjectName(QStringLiteral("chkStationPowerOff"));
  for (QCheckBox* box : {chkStationVerify, chkStationClock, chkStationPowerOff}) {
    box->setChecked(true);
    optionRow->addWidget(box);
  }
  optionRow->addStretch(1);
  column->addLayout(optionRow);

  tiles_ = new QWidget(controls);
  tiles_->setObjectName(QStringLiteral("wdgStationTiles"));
  tileGrid_ = new QGridLayout(tiles_);
  tileGrid_->setContentsMargins(0, 0, 0, 0);
  column->addWidget(tiles_);

  tblStationDone = Table(controls, "tblStationDone",
                         {tr("Time"), tr("Serial"), tr("Written"), tr("Verification"), tr("Result"),
                          tr("Message"), tr("Adapter")});
  tblStationDone->horizontalHeader()->setStretchLastSection(false);
  tblStationDone->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Stretch);
  tblStationDone->setMinimumHeight(160);
  column->addWidget(tblStationDone, 1);
  return controls;
}

StationDialog::~StationDialog() {
  // A run still going ends with the window; its observer is this dialog.
  closing_ = true;
  if (run_) run_->RequestStop();
  lines_.clear();
}

void StationDialog::ChooseFile() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Distributed file"), filePath_,
                                                    tr("Maintenance data (*.kvd)"));
  if (!path.isEmpty()) SetFile(path);
}

bool StationDialog::SetFile(const QString& path) {
  QFile file(path);
  std::string content;
  if (file.open(QIODevice::ReadOnly)) content = file.readAll().toStdString();
  std::vector<std::string> problems = file.isOpen() ? DistributedFileProblems(content)
                                                    : std::vector<std::string>{"cannot be read"};
  txtStationFile->setText(path);
  if (!problems.empty()) {
    fileContent_.clear();
    ShowStatus(tr("File not usable: %1").arg(ToQString(problems.front())));
    UpdateButtons();
    return false;
  }
  fileContent_ = std::move(content);
  filePath_ = path;
  ShowStatus(tr("Ready: press Start"));
  UpdateButtons();
  return true;
}

bool StationDialog::StartRun() {
  if (running_ || fileContent_.empty()) return false;
  StationPlan plan;
  plan.fileContent = fileContent_;
  plan.fileName = ToLatin1(filePath_);
  plan.backupFolder = host_->BackupFolder().string();
  plan.user = ToLatin1(qEnvironmentVariable("USER"));
  plan.options.verify = chkStationVerify->isChecked();
  plan.options.setClock = chkStationClock->isChecked();
  plan.options.powerOff = chkStationPowerOff->isChecked();
  lines_.clear();
  StationObserver* observer = this;
  run_ = std::make_unique<StationRun>(std::move(plan), observer, recorder_);
  tblStationDone->setRowCount(0);
  lblStationReport->clear();
  reportPath_.clear();
  report_ = std::make_unique<StationReportFile>();
  if (report_->Claim(StationReportPath(host_->BackupFolder().string(), host_->Now()))) {
    run_->SetReport(report_.get());
  }
  running_ = true;  // adapters may join
  if (uclTzif* own = host_->FreeLink()) StartLine(host_->OwnPort(), *own, nullptr);
  SearchAdapters();
  running_ = !lines_.empty();
  if (running_) {
    adapterSearch_->start();
    ShowStatus(tr("Running: place an instrument on any adapter"));
  } else {
    ShowStatus(tr("No adapter free: the program's own is busy and no other is plugged in"));
  }
  UpdateButtons();
  return running_;
}

bool StationDialog::StartLine(const QString& port, uclTzif& link, std::unique_ptr<StationAdapter> adapter) {
  auto line = std::make_unique<Line>();
  line->port = port;
  line->station = std::make_unique<StationPort>(*run_, ToLatin1(port));
  line->adapter = std::move(adapter);
  Line* started = line.get();
  started->running = link.Start(RunStation(link, *started->station), [this, started](bool) {
    if (closing_) return;
    started->running = false;
    QTimer::singleShot(0, this, &StationDialog::LineEnded);
  });
  if (!started->running) return false;
  started->tile = new StationTile(port, tiles_);
  lines_.push_back(std::move(line));
  PlaceTiles();
  return true;
}

void StationDialog::SearchAdapters() {
  if (!running_ || run_->Over()) return;  // the run has ended: nothing joins it
  const QStringList plugged = host_->OtherAdapters();
  // Adapters pulled out go with their tiles, once no instrument is in the
  // middle of a step there (that one fails at its step first): their link
  // goes, and its cycle with it.
  std::vector<const Line*> gone;
  for (const auto& line : lines_) {
    if (line->adapter == nullptr) continue;  // the program's own adapter stays
    if (!line->running || (!plugged.contains(line->port) && !MidInstrument(line->tile->Phase()))) {
      gone.push_back(line.get());
    }
  }
  for (const Line* line : gone) RemoveLine(line);
  for (const QString& port : plugged) {
    if (Find(port) != nullptr) continue;
    std::unique_ptr<StationAdapter> adapter = host_->OpenAdapter(port);
    if (adapter == nullptr) continue;
    uclTzif& link = adapter->Link();
    StartLine(port, link, std::move(adapter));
  }
}

void StationDialog::RemoveLine(const Line* line) {
  const auto found = std::find_if(lines_.begin(), lines_.end(),
                                   [line](const std::unique_ptr<Line>& each) { return each.get() == line; });
  if (found == lines_.end()) return;
  delete (*found)->tile;
  lines_.erase(found);
  PlaceTiles();
}

void StationDialog::PlaceTiles() {
  int index = 0;
  for (const auto& line : lines_) {
    tileGrid_->removeWidget(line->tile);
    tileGrid_->addWidget(line->tile, index / kTileColumns, index % kTileColumns);
    ++index;
  }
}

StationDialog::Line* StationDialog::Find(const QString& port) const {
  for (const auto& line : lines_) {
    if (line->port == port) return line.get();
  }
  return nullptr;
}

StationTile* StationDialog::Tile(const QString& port) const {
  const Line* line = Find(port);
  return line == nullptr ? nullptr : line->tile;
}

void StationDialog::StopRun() {
  if (run_) run_->RequestStop();
}

void StationDialog::LineEnded() {
  for (const auto& line : lines_) {
    if (line->running || line->tile->property("phase") == QStringLiteral("ended")) continue;
    // Between instruments when stopped; otherwise the adapter went away.
    line->tile->ShowEnded(run_->Over() ? tr("STOPPED") : tr("ADAPTER GONE"));
  }
  for (const auto& line : lines_) {
    if (line->running) return;
  }
  if (running_) RunFinished();
}

void StationDialog::RunFinished() {
  running_ = false;
  adapterSearch_->stop();
  const std::string error = report_->IsOpen() ? run_->ReportError() : report_->Error();
  reportPath_ = error.empty() ? ToQString(report_->Path()) : QString();
  lblStationReport->setText(error.empty() ? tr("Report: %1").arg(reportPath_)
                                          : tr("Report not written: %1").arg(ToQString(error)));
  ShowStatus(tr("Stopped: %1").arg(ToQString(StationSummary(run_->Outcomes()))));
  UpdateButtons();
  emit RunEnded();
}

void StationDialog::PhaseChanged(StationPhase phase, const std::string& serial) {
  PortPhaseChanged(std::string(), phase, serial);
}

void StationDialog::PortPhaseChanged(const std::string& port, StationPhase phase, const std::string& serial) {
  if (StationTile* tile = Tile(ToQString(port))) tile->ShowPhase(phase, serial);
}

void StationDialog::InstrumentFinished(const StationOutcome& outcome) {
  const int row = tblStationDone->rowCount();
  tblStationDone->insertRow(row);
  const std::string written = std::to_string(outcome.settingsWritten) + "/" + std::to_string(outcome.settingsToWrite);
  std::string result(PhaseText(outcome.result));
  if (!outcome.failedStep.empty()) result += " at " + outcome.failedStep;
  const std::string cells[kDoneColumns] = {outcome.time,   outcome.serial,  written,    outcome.verification,
                                           result,         outcome.message, outcome.port};
  for (int column = 0; column < kDoneColumns; ++column) tblStationDone->setItem(row, column, Cell(cells[column]));
  tblStationDone->resizeColumnToContents(0);
  tblStationDone->scrollToBottom();
  StationTile* tile = Tile(ToQString(outcome.port));
  if (tile != nullptr && outcome.result == StationPhase::Done) tile->CountDone();
  if (tile != nullptr && outcome.result != StationPhase::Done) {
    const std::string step = outcome.failedStep.empty() ? std::string() : "at " + outcome.failedStep + ": ";
    const std::string whatNext =
        outcome.result == StationPhase::Failed ? std::string("\n") + kTakeFailedInstrumentOff : std::string();
    tile->ShowDetail(ToQString(step + outcome.message + whatNext));
  }
  emit OutcomeAdded();
}

void StationDialog::ShowStatus(const QString& text) { lblStationStatus->setText(text); }

void StationDialog::UpdateButtons() {
  cmdStationStart->setEnabled(!running_ && !fileContent_.empty());
  cmdStationStop->setEnabled(running_);
  cmdStationFile->setEnabled(!running_);
  for (QCheckBox* box : {chkStationVerify, chkStationClock, chkStationPowerOff}) box->setEnabled(!running_);
}

}  // namespace kv
