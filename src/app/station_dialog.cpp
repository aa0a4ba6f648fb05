#include "app/station_dialog.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/frm_main.h"
#include "ops/station_files.h"
#include "ops/station_settings.h"
#include "qtedge/latin1.h"

namespace kv {
namespace {

// Colours of the status, as a traffic light: grey waits, blue works, green
// done, red failed, amber skipped.
struct PhaseLook {
  StationPhase phase;
  const char* words;
  const char* background;
};
constexpr PhaseLook kLooks[] = {
    {StationPhase::Waiting, "WAITING for an instrument", "#6b6b6b"},
    {StationPhase::Reading, "READING", "#1f5fbf"},
    {StationPhase::Writing, "WRITING", "#1f5fbf"},
    {StationPhase::Verifying, "VERIFYING", "#1f5fbf"},
    {StationPhase::Finishing, "CLOCK AND POWER OFF", "#1f5fbf"},
    {StationPhase::Done, "DONE", "#1e8c3a"},
    {StationPhase::Failed, "FAILED", "#c62828"},
    {StationPhase::Skipped, "SKIPPED (already done)", "#d08a00"},
};
constexpr int kStatusPointSize = 40;

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

}  // namespace

StationDialog::StationDialog(frmMain& window, history::Recorder* recorder)
    : QDialog(&window), window_(window), recorder_(recorder) {
  setObjectName(QStringLiteral("frmStation"));
  setWindowTitle(tr("Station mode"));
  auto* column = new QVBoxLayout(this);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(new QLabel(tr("Distributed file:"), this));
  txtStationFile = new QLineEdit(this);
  txtStationFile->setObjectName(QStringLiteral("txtStationFile"));
  txtStationFile->setReadOnly(true);
  fileRow->addWidget(txtStationFile, 1);
  cmdStationFile = new QPushButton(tr("Choose..."), this);
  cmdStationFile->setObjectName(QStringLiteral("cmdStationFile"));
  fileRow->addWidget(cmdStationFile);
  column->addLayout(fileRow);

  column->addWidget(new QLabel(tr("Kept as each instrument has them (never written):"), this));
  tblPerInstrument = Table(this, "tblPerInstrument", {tr("Setting"), tr("Why")});
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
  chkStationVerify = new QCheckBox(tr("Verify"), this);
  chkStationVerify->setObjectName(QStringLiteral("chkStationVerify"));
  chkStationClock = new QCheckBox(tr("Set clock"), this);
  chkStationClock->setObjectName(QStringLiteral("chkStationClock"));
  chkStationPowerOff = new QCheckBox(tr("Power off"), this);
  chkStationPowerOff->setObjectName(QStringLiteral("chkStationPowerOff"));
  for (QCheckBox* box : {chkStationVerify, chkStationClock, chkStationPowerOff}) {
    box->setChecked(true);
    optionRow->addWidget(box);
  }
  optionRow->addStretch(1);
  cmdStationStart = new QPushButton(tr("Start"), this);
  cmdStationStart->setObjectName(QStringLiteral("cmdStationStart"));
  cmdStationStart->setDefault(true);
  cmdStationStop = new QPushButton(tr("Stop"), this);
  cmdStationStop->setObjectName(QStringLiteral("cmdStationStop"));
  optionRow->addWidget(cmdStationStart);
  optionRow->addWidget(cmdStationStop);
  column->addLayout(optionRow);

  lblStationStatus = new QLabel(this);
  lblStationStatus->setObjectName(QStringLiteral("lblStationStatus"));
  lblStationStatus->setAlignment(Qt::AlignCenter);
  lblStationStatus->setWordWrap(true);
  lblStationStatus->setMinimumHeight(140);
  QFont big = lblStationStatus->font();
  big.setPointSize(kStatusPointSize);
  big.setBold(true);
  lblStationStatus->setFont(big);
  lblStationStatus->setAutoFillBackground(true);
  column->addWidget(lblStationStatus);

  tblStationDone = Table(this, "tblStationDone",
                         {tr("Time"), tr("Serial"), tr("Written"), tr("Verification"), tr("Result"), tr("Message")});
  column->addWidget(tblStationDone, 1);
  lblStationReport = new QLabel(this);
  lblStationReport->setObjectName(QStringLiteral("lblStationReport"));
  column->addWidget(lblStationReport);

  connect(cmdStationFile, &QPushButton::clicked, this, &StationDialog::ChooseFile);
  connect(cmdStationStart, &QPushButton::clicked, this, [this] { StartRun(); });
  connect(cmdStationStop, &QPushButton::clicked, this, &StationDialog::StopRun);
  resize(900, 800);
  lblStationStatus->setText(tr("Choose the distributed file, then Start"));
  UpdateButtons();
}

StationDialog::~StationDialog() {
  // A run still going ends with the window; its observer is this dialog.
  if (run_) run_->RequestStop();
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
    ShowStatus(StationPhase::Failed, tr("File not usable: %1").arg(ToQString(problems.front())));
    UpdateButtons();
    return false;
  }
  fileContent_ = std::move(content);
  filePath_ = path;
  ShowStatus(StationPhase::Waiting, tr("Ready: press Start"));
  UpdateButtons();
  return true;
}

bool StationDialog::StartRun() {
  if (running_ || fileContent_.empty() || window_.Busy() || window_.Link().TaskRunning()) return false;
  StationPlan plan;
  plan.fileContent = fileContent_;
  plan.fileName = ToLatin1(filePath_);
  plan.backupFolder = window_.BackupFolder().string();
  plan.user = ToLatin1(qEnvironmentVariable("USER"));
  plan.options.verify = chkStationVerify->isChecked();
  plan.options.setClock = chkStationClock->isChecked();
  plan.options.powerOff = chkStationPowerOff->isChecked();
  StationObserver* observer = this;
  run_ = std::make_unique<StationRun>(std::move(plan), observer, recorder_);
  tblStationDone->setRowCount(0);
  lblStationReport->clear();
  reportPath_.clear();
  report_ = std::make_unique<StationReportFile>();
  if (report_->Claim(StationReportPath(window_.BackupFolder().string(), window_.Link().GetClock().Now()))) {
    run_->SetReport(report_.get());
  }
  const bool started = window_.Link().Start(RunStation(window_.Link(), *run_), [this](bool) {
    QTimer::singleShot(0, this, &StationDialog::RunFinished);
  });
  running_ = started;
  UpdateButtons();
  return started;
}

void StationDialog::StopRun() {
  if (run_) run_->RequestStop();
}

void StationDialog::RunFinished() {
  running_ = false;
  const std::string error = report_->IsOpen() ? run_->ReportError() : report_->Error();
  reportPath_ = error.empty() ? ToQString(report_->Path()) : QString();
  lblStationReport->setText(error.empty() ? tr("Report: %1").arg(reportPath_)
                                          : tr("Report not written: %1").arg(ToQString(error)));
  ShowStatus(StationPhase::Waiting, tr("Stopped: %1").arg(ToQString(StationSummary(run_->Outcomes()))));
  UpdateButtons();
  emit RunEnded();
}

void StationDialog::PhaseChanged(StationPhase phase, const std::string& serial) {
  for (const PhaseLook& look : kLooks) {
    if (look.phase != phase) continue;
    QString text = tr(look.words);
    if (!serial.empty()) text += QStringLiteral("\n") + ToQString(serial);
    ShowStatus(phase, text);
  }
}

void StationDialog::InstrumentFinished(const StationOutcome& outcome) {
  const int row = tblStationDone->rowCount();
  tblStationDone->insertRow(row);
  const std::string written = std::to_string(outcome.settingsWritten) + "/" + std::to_string(outcome.settingsToWrite);
  std::string result(PhaseText(outcome.result));
  if (!outcome.failedStep.empty()) result += " at " + outcome.failedStep;
  const std::string cells[] = {outcome.time, outcome.serial, written, outcome.verification, result, outcome.message};
  for (int column = 0; column < 6; ++column) tblStationDone->setItem(row, column, Cell(cells[column]));
  tblStationDone->resizeColumnToContents(0);
  tblStationDone->scrollToBottom();
  if (outcome.result != StationPhase::Done) {
    ShowStatus(outcome.result, lblStationStatus->text() + QStringLiteral("\n") + ToQString(outcome.message));
  }
  emit OutcomeAdded();
}

void StationDialog::ShowStatus(StationPhase phase, const QString& text) {
  for (const PhaseLook& look : kLooks) {
    if (look.phase != phase) continue;
    QPalette palette = lblStationStatus->palette();
    palette.setColor(QPalette::Window, QColor(QString::fromLatin1(look.background)));
    palette.setColor(QPalette::WindowText, Qt::white);
    lblStationStatus->setPalette(palette);
  }
  lblStationStatus->setProperty("phase", QString::fromLatin1(PhaseText(phase).data()));
  lblStationStatus->setText(text);
}

void StationDialog::UpdateButtons() {
  cmdStationStart->setEnabled(!running_ && !fileContent_.empty());
  cmdStationStop->setEnabled(running_);
  cmdStationFile->setEnabled(!running_);
  for (QCheckBox* box : {chkStationVerify, chkStationClock, chkStationPowerOff}) box->setEnabled(!running_);
}

}  // namespace kv
