// frmMain: always a way on. While no instrument answers the window keeps
// looking (InstrumentSearch), says in the pane what it waits for, and offers
// Connect now and a port chooser; the identity read last stays in the status
// bar, and beside it what history waits for the shared server. SIGTERM and
// SIGINT end the session without asking.
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "app/frm_live.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/instrument_search.h"
#include "history/history_event.h"
#include "historydb/local_first_store.h"
#include "qtedge/latin1.h"
#include "report/report_content.h"

namespace kv {

QWidget* frmMain::BuildSearchRow(QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  cboPort = new QComboBox(row);
  cboPort->setObjectName(QStringLiteral("cboPort"));
  cboPort->setAccessibleName(tr("Port"));
  cboPort->setToolTip(tr("Where the window looks for the instrument"));
  cmdConnect = new QPushButton(tr("Connect now"), row);
  cmdConnect->setObjectName(QStringLiteral("cmdConnect"));
  cmdConnect->setAccessibleName(cmdConnect->text());
  layout->addWidget(cboPort, 1);
  layout->addWidget(cmdConnect, 0);
  RefreshPortChoices();
  connect(cmdConnect, &QPushButton::clicked, this, &frmMain::ConnectNow);
  connect(cboPort, &QComboBox::activated, this, &frmMain::PortChosen);

  lblIdentity = new QLabel(this);
  lblIdentity->setObjectName(QStringLiteral("lblIdentity"));
  statusBar()->addPermanentWidget(lblIdentity);
  lblPending = new QLabel(this);
  lblPending->setObjectName(QStringLiteral("lblPending"));
  statusBar()->addPermanentWidget(lblPending);
  connect(this, &frmMain::TransactionFinished, this, &frmMain::RefreshPendingHistory);
  return row;
}

void frmMain::RefreshPortChoices() {
  QStringList ports;
  if (services_.listPorts) ports = services_.listPorts();
  QStringList shown{tr("Adapter search")};
  shown += ports;
  QStringList current;
  for (int i = 0; i < cboPort->count(); ++i) current << cboPort->itemText(i);
  if (current == shown) return;
  const QString chosen = cboPort->currentData().toString();
  cboPort->clear();
  cboPort->addItem(shown.front(), QString());
  for (const QString& port : ports) cboPort->addItem(port, port);
  cboPort->setCurrentIndex(std::max(0, cboPort->findData(chosen)));
}

void frmMain::PortChosen(int index) {
  if (Busy() || uclTZ7100_.TaskRunning()) return;
  if (services_.choosePort) services_.choosePort(cboPort->itemData(index).toString());
  uclTZ7100_.SetPortOpen(false);
  waitingFor_.clear();
  ConnectNow();
}

void frmMain::SessionTick() {
  services_.transport->PollModemLines();
  uclTZ7100_.Tick();
  if (uclTZ7100_.TimerEnabled() && !Busy()) search_->Tick();
}

void frmMain::ConnectNow() {
  if (Busy() || uclTZ7100_.State() == LinkState::Connected) return;
  search_->LookNow();
}

void frmMain::LookForInstrument() {
  RefreshPortChoices();
  SelectPort();
}

void frmMain::SayWaiting(const QString& text) {
  if (text == waitingFor_) return;
  waitingFor_ = text;
  AppendInfo(text, info_colour::kFailure);
}

void frmMain::ShowIdentity() {
  if (identity_.empty()) {
    lblIdentity->setText(uclTZ7100_.State() == LinkState::Connected ? tr("Instrument connected, not read yet") : tr("No instrument read"));
    return;
  }
  lblIdentity->setText(ToQString(identity_) + (identityLive_ ? QString() : tr(" (last read)")));
}

void frmMain::RefreshPendingHistory() {
  // The store the operations record in: the one given (tests), else the
  // program's, once an operation or this refresh has opened it.
  history::Store* store = dynamic_cast<history::Store*>(services_.recorder);
  std::string ignored;
  if (services_.recorder == nullptr) store = HistoryStore(&ignored);
  lblPending->setText(store != nullptr ? ToQString(history::PendingText(*store)) : QString());
}

void frmMain::EndSession() {
  sessionEnding_ = true;
  if (live_ != nullptr) live_->Stop();
  if (uclTZ7100_.TaskRunning()) uclTZ7100_.SetCancel(true);
  close();
}

}  // namespace kv
