#include "app/history_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/compliance_view.h"
#include "app/dialogs.h"
#include "app/history_host.h"
#include "app/history_tables.h"
#include "app/last_calibration.h"
#include "qtedge/latin1.h"
#include "report/certificate_sources.h"
#include "report/fleet_view.h"
#include "report/history_source.h"
#include "report/report_pdf.h"
#include "report/snapshot_differences.h"

namespace kv {
namespace {

QLabel* Caption(QWidget* parent, const char* text) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

QString SnapshotName(const history::Event& event) {
  return ToQString(event.time + "  " + event.operation);
}

// The due column's background: red overdue (or never calibrated), amber due soon, green ok.
QColor DueColour(fleet::DueState state) {
  switch (state) {
    case fleet::DueState::Overdue:
    case fleet::DueState::Never: return {255, 199, 206};
    case fleet::DueState::DueSoon: return {255, 235, 156};
    case fleet::DueState::Ok: return {198, 239, 206};
    default: return {};
  }
}

}  // namespace

frmHistory::frmHistory(history::Store& store, HistoryHost& host, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(store), host_(host), dialogs_(dialogs) {
  setObjectName(QStringLiteral("frmHistory"));
  setWindowTitle(tr("History"));
  auto* tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("tabHistory"));
  (new QVBoxLayout(this))->addWidget(tabs);
  auto* page = new QWidget(tabs);
  tabs->addTab(page, tr("Instruments"));
  auto* layout = new QVBoxLayout(page);
  auto* heading = new QHBoxLayout;
  heading->addWidget(Caption(this, "Instruments"), 1);
  chkDueOnly = new QCheckBox(tr("Due or overdue only"), this);
  chkDueOnly->setObjectName(QStringLiteral("chkDueOnly"));
  heading->addWidget(chkDueOnly);
  layout->addLayout(heading);
  tblInstruments = ReadOnlyTable(this, "tblInstruments",
                         {tr("Serial"), tr("Model"), tr("Last Seen"), tr("Last Read"),
                          tr("Last Calibration"), tr("Calibration Due")});
  layout->addWidget(tblInstruments, 2);
  layout->addWidget(Caption(this, "Events"));
  tblEvents = ReadOnlyTable(this, "tblEvents",
                    {tr("Time"), tr("Operation"), tr("Result"), tr("User"), tr("File"),
                     tr("Detail")});
  layout->addWidget(tblEvents, 2);
  auto* paging = new QHBoxLayout;
  lblPage = new QLabel(this);
  lblPage->setObjectName(QStringLiteral("lblPage"));
  paging->addWidget(lblPage, 1);
  cmdEarlier = new QPushButton(tr("Earlier"), this);
  cmdEarlier->setObjectName(QStringLiteral("cmdEarlier"));
  paging->addWidget(cmdEarlier);
  cmdLater = new QPushButton(tr("Later"), this);
  cmdLater->setObjectName(QStringLiteral("cmdLater"));
  paging->addWidget(cmdLater);
  layout->addLayout(paging);

  auto* compare = new QHBoxLayout;
  compare->addWidget(Caption(this, "Compare snapshot A"));
  cboSnapshotA = new QComboBox(this);
  cboSnapshotA->setObjectName(QStringLiteral("cboSnapshotA"));
  compare->addWidget(cboSnapshotA, 1);
  compare->addWidget(Caption(this, "with snapshot B"));
  cboSnapshotB = new QComboBox(this);
  cboSnapshotB->setObjectName(QStringLiteral("cboSnapshotB"));
  compare->addWidget(cboSnapshotB, 1);
  layout->addLayout(compare);
  lblDifferences = new QLabel(this);
  lblDifferences->setObjectName(QStringLiteral("lblDifferences"));
  layout->addWidget(lblDifferences);
  tblDifferences = ReadOnlyTable(this, "tblDifferences", {tr("Setting"), tr("A"), tr("B")});
  layout->addWidget(tblDifferences, 1);

  auto* bottom = new QHBoxLayout;
  lblStatus = new QLabel(this);
  lblStatus->setObjectName(QStringLiteral("lblStatus"));
  bottom->addWidget(lblStatus, 1);
  cmdCertificate = new QPushButton(tr("Certificate..."), this);
  cmdCertificate->setObjectName(QStringLiteral("cmdCertificate"));
  cmdCertificate->setToolTip(tr("Writes the calibration certificate of the selected zero, span or "
                                "calibration-history event as a PDF."));
  bottom->addWidget(cmdCertificate);
  cmdLoadIntoGrids = new QPushButton(tr("Load into the grids"), this);
  cmdLoadIntoGrids->setObjectName(QStringLiteral("cmdLoadIntoGrids"));
  cmdLoadIntoGrids->setToolTip(
      tr("Loads snapshot B into the main window's grids; Transmit writes it to the instrument."));
  bottom->addWidget(cmdLoadIntoGrids);
  layout->addLayout(bottom);
  compliance_ = new ComplianceView(store_, host_, dialogs_, tabs);
  compliance_->setObjectName(QStringLiteral("complianceView"));
  tabs->addTab(compliance_, tr("Compliance"));

  connect(chkDueOnly, &QCheckBox::toggled, this, [this](bool on) { ShowDueOnly(on); });
  connect(tblEvents, &QTableWidget::currentCellChanged, this, [this] { ShowCertificateButton(); });
  connect(cmdCertificate, &QPushButton::clicked, this, [this] { WriteCertificate(tblEvents->currentRow()); });
  connect(tblInstruments, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { SelectInstrument(row); });
  for (QComboBox* box : {cboSnapshotA, cboSnapshotB}) {
    connect(box, &QComboBox::currentIndexChanged, this, [this] { ShowDifferences(); });
  }
  connect(cmdEarlier, &QPushButton::clicked, this, [this] { ShowEarlierPage(); });
  connect(cmdLater, &QPushButton::clicked, this, [this] { ShowLaterPage(); });
  connect(cmdLoadIntoGrids, &QPushButton::clicked, this, [this] { cmdLoadIntoGrids_Click(); });
  resize(1000, 760);
  Refresh();
}

frmHistory::~frmHistory() = default;


void frmHistory::ShowError(const std::string& error) {
  lblStatus->setText(QStringLiteral("History: ") + ToQString(error));
}

void frmHistory::Refresh() {
  const int selected = tblInstruments->currentRow();
  const std::string serial =
      selected >= 0 && selected < static_cast<int>(instruments_.size())
          ? instruments_[static_cast<std::size_t>(selected)].serial
          : std::string();
  std::string error;
  instruments_ = store_.Instruments(&error);
  if (!error.empty()) ShowError(error);
  JudgeCalibrations();
  const QSignalBlocker quiet(tblInstruments);
  tblInstruments->setRowCount(static_cast<int>(instruments_.size()));
  int keep = instruments_.empty() ? -1 : 0;
  std::string calibrationError;
  const std::map<std::string, std::string> calibrated = LastCalibrations(store_, &calibrationError);
  if (!calibrationError.empty()) ShowError(calibrationError);
  for (std::size_t row = 0; row < instruments_.size(); ++row) {
    const history::InstrumentSummary& s = instruments_[row];
    const auto last = calibrated.find(s.serial);
    FillRow(*tblInstruments, static_cast<int>(row),
            {s.serial, s.model, s.lastSeen, s.lastRead, last == calibrated.end() ? std::string() : last->second});
    ShowDueCell(static_cast<int>(row), s.serial);
    if (s.serial == serial) keep = static_cast<int>(row);
  }
  ApplyDueFilter();
  tblInstruments->setCurrentCell(keep, 0);
  SelectInstrument(keep);
}

void frmHistory::JudgeCalibrations() {
  due_.clear();
  std::string error;
  const std::optional<report::FleetView> fleet = report::GatherFleet(store_, &error);
  if (!fleet) {
    ShowError(error);
    return;
  }
  const std::string folder = host_.DataFolder().string();
  const std::vector<fleet::FleetDue> judged =
      fleet::JudgeFleet(fleet->instruments, folder.empty() ? fleet::CalibrationDefaults()
                                                           : fleet::CalibrationDefaults::Load(folder),
                        host_.Now(), report::kDueSoonDays);
  for (const fleet::FleetDue& instrument : judged) {
    if (instrument.instrument->lastRead.empty() && !instrument.due.deciding) continue;  // never read
    due_.emplace(instrument.instrument->serial, instrument.due);
  }
}

void frmHistory::ShowDueCell(int row, const std::string& serial) {
  const auto found = due_.find(serial);
  QString text = tr("never read");
  QString tip = tr("No read of this instrument is in the history: its sensors are not known.");
  QColor colour;
  if (found != due_.end() && found->second.deciding) {
    const fleet::ChannelDue& deciding = *found->second.deciding;
    const std::string channel = fleet::ChannelLabel(deciding.calibration);
    text = ToQString(fleet::StateText(deciding) + " (" + channel + ")");
    tip = ToQString(channel + (deciding.due ? ": due " + FormatGeneralDate(*deciding.due).substr(0, 10)
                                            : std::string(": no due date")));
    colour = DueColour(deciding.state);
  } else if (found != due_.end()) {
    text = tr("no channel fitted");
    tip.clear();
  }
  auto* item = new QTableWidgetItem(text);
  item->setToolTip(tip);
  if (colour.isValid()) item->setBackground(colour);
  tblInstruments->setItem(row, kCalibrationDue, item);
}

void frmHistory::ShowDueOnly(bool dueOnly) {
  if (chkDueOnly->isChecked() != dueOnly) {
    chkDueOnly->setChecked(dueOnly);  // toggles back into here
    return;
  }
  ApplyDueFilter();
}

void frmHistory::ApplyDueFilter() {
  const bool dueOnly = chkDueOnly->isChecked();
  for (std::size_t row = 0; row < instruments_.size(); ++row) {
    const auto found = due_.find(instruments_[row].serial);
    const bool due = found != due_.end() && report::DueOrOverdue(found->second);
    tblInstruments->setRowHidden(static_cast<int>(row), dueOnly && !due);
  }
}

void frmHistory::SelectInstrument(int row) {
  serial_.clear();
  eventCount_ = 0;
  loaded_.clear();
  if (row >= 0 && row < static_cast<int>(instruments_.size())) {
    serial_ = instruments_[static_cast<std::size_t>(row)].serial;
    std::string error;
    eventCount_ = store_.EventCount(serial_, &error);
    if (!error.empty()) ShowError(error);
  }
  ShowPage(eventCount_ > kEventsPerPage ? eventCount_ - kEventsPerPage : 0);
}

void frmHistory::ShowEarlierPage() { ShowPage(pageStart_ > kEventsPerPage ? pageStart_ - kEventsPerPage : 0); }

void frmHistory::ShowLaterPage() {
  if (pageStart_ + kEventsPerPage < eventCount_) ShowPage(pageStart_ + kEventsPerPage);
}

void frmHistory::ShowPage(std::size_t start) {
  pageStart_ = start;
  events_.clear();
  if (eventCount_ > 0) {
    std::string error;
    events_ = store_.EventList(serial_, start, kEventsPerPage, &error);
    if (!error.empty()) ShowError(error);
  }
  const std::size_t end = pageStart_ + events_.size();
  lblPage->setText(events_.empty() ? tr("No events.")
                                   : tr("Events %1 to %2 of %3").arg(pageStart_ + 1).arg(end).arg(eventCount_));
  cmdEarlier->setEnabled(pageStart_ > 0);
  cmdLater->setEnabled(end < eventCount_);
  ShowEvents();
}

void frmHistory::ShowEvents() {
  tblEvents->setRowCount(static_cast<int>(events_.size()));
  snapshots_.clear();
  for (std::size_t row = 0; row < events_.size(); ++row) {
    const history::Event& e = events_[row];
    FillRow(*tblEvents, static_cast<int>(row), {e.time, e.operation, e.result, e.user, e.file, e.detail});
    if (e.hasSnapshot || !e.snapshot.empty()) snapshots_.push_back(e);
  }
  ShowCertificateButton();
  const QSignalBlocker quietA(cboSnapshotA);
  const QSignalBlocker quietB(cboSnapshotB);
  cboSnapshotA->clear();
  cboSnapshotB->clear();
  for (const history::Event& snapshot : snapshots_) {
    cboSnapshotA->addItem(SnapshotName(snapshot));
    cboSnapshotB->addItem(SnapshotName(snapshot));
  }
  // A is the latest state, B the one before it: the differences are what
  // loading B and transmitting it would change.
  const int count = static_cast<int>(snapshots_.size());
  cboSnapshotA->setCurrentIndex(count - 1);
  cboSnapshotB->setCurrentIndex(count >= 2 ? count - 2 : count - 1);
  ShowDifferences();
}

const std::string* frmHistory::SnapshotBytes(int index) {
  const history::Event& listed = snapshots_[static_cast<std::size_t>(index)];
  if (!listed.snapshot.empty()) return &listed.snapshot;
  if (const auto found = loaded_.find(listed.id); found != loaded_.end()) return &found->second;
  std::string error;
  std::optional<history::Event> event = store_.EventById(listed.id, &error);
  if (!event) {
    ShowError(error.empty() ? "event " + std::to_string(listed.id) + " is no longer in the history" : error);
    return nullptr;
  }
  return &loaded_.emplace(listed.id, std::move(event->snapshot)).first->second;
}

void frmHistory::CompareSnapshots(int a, int b) {
  {
    const QSignalBlocker quietA(cboSnapshotA);
    const QSignalBlocker quietB(cboSnapshotB);
    cboSnapshotA->setCurrentIndex(a);
    cboSnapshotB->setCurrentIndex(b);
  }
  ShowDifferences();
}

void frmHistory::ShowDifferences() {
  const int a = cboSnapshotA->currentIndex();
  const int b = cboSnapshotB->currentIndex();
  const int count = static_cast<int>(snapshots_.size());
  cmdLoadIntoGrids->setEnabled(b >= 0 && b < count);
  tblDifferences->setRowCount(0);
  if (a < 0 || a >= count || b < 0 || b >= count) {
    lblDifferences->setText(tr("No snapshots to compare."));
    return;
  }
  // Only the two compared stay read.
  const std::int64_t idA = snapshots_[static_cast<std::size_t>(a)].id;
  const std::int64_t idB = snapshots_[static_cast<std::size_t>(b)].id;
  std::erase_if(loaded_, [&](const auto& entry) { return entry.first != idA && entry.first != idB; });
  const std::string* bytesA = SnapshotBytes(a);
  const std::string* bytesB = SnapshotBytes(b);
  if (bytesA == nullptr || bytesB == nullptr) {
    lblDifferences->setText(tr("A snapshot could not be read."));
    return;
  }
  history::Event eventA = snapshots_[static_cast<std::size_t>(a)];
  history::Event eventB = snapshots_[static_cast<std::size_t>(b)];
  eventA.snapshot = *bytesA;
  eventB.snapshot = *bytesB;
  clsInstrument recordA;
  clsInstrument recordB;
  const KvdLoadResult loadedA = report::LoadSnapshot(eventA, recordA);
  const KvdLoadResult loadedB = report::LoadSnapshot(eventB, recordB);
  const std::vector<report::SnapshotDifference> differences =
      report::SnapshotDifferences(recordA, recordB);
  tblDifferences->setRowCount(static_cast<int>(differences.size()));
  for (std::size_t row = 0; row < differences.size(); ++row) {
    FillRow(*tblDifferences, static_cast<int>(row),
            {differences[row].name, differences[row].first, differences[row].second});
  }
  QString summary = differences.empty() ? tr("The snapshots hold the same settings.")
                                        : tr("%n setting(s) differ.", nullptr,
                                             static_cast<int>(differences.size()));
  if (!loadedA.complete || !loadedB.complete) summary += tr(" A snapshot was read only in part.");
  lblDifferences->setText(summary);
}

void frmHistory::cmdLoadIntoGrids_Click() {
  const int b = cboSnapshotB->currentIndex();
  if (b < 0 || b >= static_cast<int>(snapshots_.size())) return;
  const history::Event& snapshot = snapshots_[static_cast<std::size_t>(b)];
  const std::string* bytes = SnapshotBytes(b);
  if (bytes == nullptr) return;
  if (!host_.LoadRecordText(*bytes, ToQString("history of " + snapshot.serial + " at " + snapshot.time),
                            snapshot.serial)) {
    dialogs_.Show(Dialogs::Icon::Information, windowTitle(),
                  tr("The main window is busy; load the snapshot when it has finished."));
    return;
  }
  lblStatus->setText(tr("Loaded %1 into the grids.").arg(SnapshotName(snapshot)));
}

void frmHistory::ShowCertificateButton() {
  const int row = tblEvents->currentRow();
  const bool calibration =
      row >= 0 && row < static_cast<int>(events_.size()) &&
      report::WhyNoCertificate(events_[static_cast<std::size_t>(row)]).empty();
  cmdCertificate->setEnabled(calibration);
}

void frmHistory::WriteCertificate(int row) {
  if (row < 0 || row >= static_cast<int>(events_.size())) return;
  const history::Event& event = events_[static_cast<std::size_t>(row)];
  std::string error;
  const std::optional<report::CertificateSources> sources =
      report::GatherCertificate(store_, event.id, host_.DataFolder().string(), &error);
  if (!sources) {
    dialogs_.Critical(windowTitle(), ToQString(error));
    return;
  }
  const QString name = dialogs_.SaveFile(QStringLiteral("PDF (*.pdf);;All files (*.*)"),
                                         ToQString("certificate-" + event.serial + "-" + std::to_string(event.id) + ".pdf"));
  if (name.isEmpty()) return;
  const report::PdfWriteResult written =
      report::WriteReportPdf(report::BuildCertificate(*sources), report::LocalePaperSize(), ToLatin1(name));
  if (!written.ok) {
    dialogs_.Critical(windowTitle(), ToQString(written.error));
    return;
  }
  lblStatus->setText(tr("Certificate written: %1").arg(name));
}

}  // namespace kv
