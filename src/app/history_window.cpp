#include "app/history_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/frm_main.h"
#include "app/last_calibration.h"
#include "qtedge/latin1.h"
#include "report/history_source.h"
#include "report/snapshot_differences.h"

namespace kv {
namespace {

QTableWidget* Table(QWidget* parent, const char* name, const QStringList& columns) {
  auto* table = new QTableWidget(0, static_cast<int>(columns.size()), parent);
  table->setObjectName(QString::fromLatin1(name));
  table->setHorizontalHeaderLabels(columns);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->verticalHeader()->setVisible(false);
  table->horizontalHeader()->setStretchLastSection(true);
  return table;
}

void FillRow(QTableWidget& table, int row, const std::vector<std::string>& cells) {
  for (std::size_t column = 0; column < cells.size(); ++column) {
    table.setItem(row, static_cast<int>(column), new QTableWidgetItem(ToQString(cells[column])));
  }
}

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

}  // namespace

frmHistory::frmHistory(history::Store& store, frmMain& main, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(store), main_(main), dialogs_(dialogs) {
  setObjectName(QStringLiteral("frmHistory"));
  setWindowTitle(tr("History"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Caption(this, "Instruments"));
  tblInstruments = Table(this, "tblInstruments",
                         {tr("Serial"), tr("Model"), tr("Last Seen"), tr("Last Read"),
                          tr("Last Calibration")});
  layout->addWidget(tblInstruments, 1);
  layout->addWidget(Caption(this, "Events"));
  tblEvents = Table(this, "tblEvents",
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
  tblDifferences = Table(this, "tblDifferences", {tr("Setting"), tr("A"), tr("B")});
  layout->addWidget(tblDifferences, 2);

  auto* bottom = new QHBoxLayout;
  lblStatus = new QLabel(this);
  lblStatus->setObjectName(QStringLiteral("lblStatus"));
  bottom->addWidget(lblStatus, 1);
  cmdLoadIntoGrids = new QPushButton(tr("Load into the grids"), this);
  cmdLoadIntoGrids->setObjectName(QStringLiteral("cmdLoadIntoGrids"));
  cmdLoadIntoGrids->setToolTip(
      tr("Loads snapshot B into the main window's grids; Transmit writes it to the instrument."));
  bottom->addWidget(cmdLoadIntoGrids);
  layout->addLayout(bottom);

  connect(tblInstruments, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { SelectInstrument(row); });
  for (QComboBox* box : {cboSnapshotA, cboSnapshotB}) {
    connect(box, &QComboBox::currentIndexChanged, this, [this] { ShowDifferences(); });
  }
  connect(cmdEarlier, &QPushButton::clicked, this, [this] { ShowEarlierPage(); });
  connect(cmdLater, &QPushButton::clicked, this, [this] { ShowLaterPage(); });
  connect(cmdLoadIntoGrids, &QPushButton::clicked, this, [this] { cmdLoadIntoGrids_Click(); });
  resize(900, 700);
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
    if (s.serial == serial) keep = static_cast<int>(row);
  }
  tblInstruments->setCurrentCell(keep, 0);
  SelectInstrument(keep);
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
  if (!main_.LoadRecordText(*bytes, ToQString("history of " + snapshot.serial + " at " + snapshot.time),
                            snapshot.serial)) {
    dialogs_.Show(Dialogs::Icon::Information, windowTitle(),
                  tr("The main window is busy; load the snapshot when it has finished."));
    return;
  }
  lblStatus->setText(tr("Loaded %1 into the grids.").arg(SnapshotName(snapshot)));
}

}  // namespace kv
