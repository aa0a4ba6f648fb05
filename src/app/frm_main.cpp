// frmMain: construction and the layout of the window.
#include "app/frm_main.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "app/info_pane.h"
#include "app/instrument_search.h"
#include "app/service_menu.h"
#include "app/settings_tabs.h"
#include "app/transaction_runner.h"
#include "app/upload_dialog.h"
#include "link/transactions.h"
#include <QTimer>

namespace kv {
namespace {

// The caption the window is designed with; start-up adds the program number.
constexpr const char* kDesignCaption = "KORVIN Maintenance Data Loader";

QPushButton* ActionButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAccessibleName(button->text().simplified());
  button->setMinimumHeight(button->sizeHint().height() * 3 / 2);
  return button;
}

}  // namespace

frmMain::frmMain(frmMainServices services, QWidget* parent)
    : QMainWindow(parent),
      services_(std::move(services)),
      uclTZ7100_(*services_.transport, *services_.clock),
      designCaption_(QString::fromLatin1(kDesignCaption)) {
  setObjectName(QStringLiteral("frmMain"));
  if (!services_.readInstrument) services_.readInstrument = GetInstrument;
  uclTZ7100_.SetListener(this);
  runner_ = new TransactionRunner(uclTZ7100_, *services_.clock, *this);
  connect(runner_, &TransactionRunner::BusyChanged, this, [this] { ApplyButtonStates(); });
  services_.transport->Attach(&uclTZ7100_);
  search_ = std::make_unique<InstrumentSearch>(uclTZ7100_, [this] { LookForInstrument(); });
  BuildWindow();
  BuildServiceMenu();
  setWindowTitle(designCaption_);
  // A comfortable size that still fits a 1366 x 768 screen.
  const QSize preferred(1280, 720);
  resize(screen() != nullptr ? preferred.boundedTo(screen()->availableSize()) : preferred);
  ApplyButtonStates();
  ShowIdentity();
}

frmMain::~frmMain() {
  if (ticker_ != nullptr) ticker_->stop();
  services_.transport->Attach(nullptr);
  uclTZ7100_.SetListener(nullptr);
  uclTZ7100_.SetTimerEnabled(false);
}

void frmMain::BuildWindow() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("centralWidget"));
  auto* layout = new QHBoxLayout(central);
  layout->addWidget(BuildActionPanel(), 0);

  auto* settingsColumn = new QVBoxLayout;
  lblNotLive = new QLabel(tr("Not live: the link was lost after these settings were shown."),
                          central);
  lblNotLive->setObjectName(QStringLiteral("lblNotLive"));
  lblNotLive->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0); font-weight: bold;"));
  lblNotLive->setVisible(false);
  settingsColumn->addWidget(lblNotLive);
  SSTab1 = new SettingsTabs(editInstrument_, central);
  connect(SSTab1, &SettingsTabs::ExportRequested, this, &frmMain::ExportTable);
  connect(SSTab1, &SettingsTabs::ImportRequested, this, &frmMain::ImportTable);
  connect(SSTab1, &SettingsTabs::TableEntryAccepted, this, &frmMain::MarkRefusedTableCells);
  settingsColumn->addWidget(SSTab1, 1);
  layout->addLayout(settingsColumn, 1);
  setCentralWidget(central);
  BuildFileMenu();
}

QWidget* frmMain::BuildActionPanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("fraActions"));
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);

  // The captions keep their runs of blanks.
  cmdGet = ActionButton(panel, "cmdGet", "1. Get Current KORVIN Data");
  cmdLoad = ActionButton(panel, "cmdLoad", "2. Select Distributed File      ");
  txtPath = new QLineEdit(panel);
  txtPath->setObjectName(QStringLiteral("txtPath"));
  cmdSend = ActionButton(panel, "cmdSend", "3. Transmit            New Data");
  cmdPowerOff = ActionButton(panel, "cmdPowerOff", "4. Power          OFF");
  for (QWidget* widget : {static_cast<QWidget*>(cmdGet), static_cast<QWidget*>(cmdLoad),
                          static_cast<QWidget*>(txtPath), static_cast<QWidget*>(cmdSend),
                          static_cast<QWidget*>(cmdPowerOff)}) {
    column->addWidget(widget);
  }

  auto* storeRow = new QHBoxLayout;
  chkFactorySave = new QCheckBox(panel);
  chkFactorySave->setObjectName(QStringLiteral("chkFactorySave"));
  cmdStore = new QPushButton(panel);
  cmdStore->setObjectName(QStringLiteral("cmdStore"));
  cmdStore->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  cmdStore->setToolTip(tr("Store the settings to a maintenance data file"));
  cmdStore->setAccessibleName(tr("Store"));
  cmdStore->setAccessibleDescription(cmdStore->toolTip());
  txtPath->setAccessibleName(tr("Distributed file"));
  chkFactorySave->setAccessibleName(tr("Save as default"));
  storeRow->addWidget(chkFactorySave, 1);
  storeRow->addWidget(cmdStore, 0);
  column->addLayout(storeRow);
  chkVerify = new QCheckBox(tr("Verify after transmit"), panel);
  chkVerify->setObjectName(QStringLiteral("chkVerify"));
  chkVerify->setChecked(true);
  chkVerify->setAccessibleName(chkVerify->text());
  column->addWidget(chkVerify);
  cmdStation = ActionButton(panel, "cmdStation", "Station mode...");
  column->addWidget(cmdStation);
  column->addWidget(BuildSearchRow(panel));

  rtbInfo = new InfoPane(panel);
  rtbInfo->setAccessibleName(tr("Information"));
  column->addWidget(rtbInfo, 1);

  cmdEnd = ActionButton(panel, "cmdEnd", "Exit");
  column->addWidget(cmdEnd);

  const int width = fontMetrics().averageCharWidth() * 42;
  panel->setMinimumWidth(width);
  panel->setMaximumWidth(width * 3 / 2);

  connect(cmdGet, &QPushButton::clicked, this, &frmMain::cmdGet_Click);
  connect(cmdEnd, &QPushButton::clicked, this, &frmMain::cmdEnd_Click);
  connect(cmdLoad, &QPushButton::clicked, this, &frmMain::cmdLoad_Click);
  connect(txtPath, &QLineEdit::editingFinished, this, &frmMain::txtPath_LostFocus);
  connect(cmdSend, &QPushButton::clicked, this, &frmMain::cmdSend_Click);
  connect(cmdStore, &QPushButton::clicked, this, &frmMain::cmdStore_Click);
  connect(cmdPowerOff, &QPushButton::clicked, this, &frmMain::cmdPowerOff_Click);
  connect(chkVerify, &QCheckBox::toggled, this, &frmMain::SetVerifyAfterTransmit);
  connect(cmdStation, &QPushButton::clicked, this, &frmMain::OpenStation);
  return panel;
}

}  // namespace kv
