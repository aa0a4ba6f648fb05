// frmMain: construction and the layout of the window.
#include "app/frm_main.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/info_pane.h"
#include "app/instrument_search.h"
#include "app/service_menu.h"
#include "app/settings_grid.h"
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

QLabel* GridLabel(QWidget* parent, const char* name, const char* text) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

QTabWidget* TabSet(QWidget* parent, const char* name) {
  auto* tabs = new QTabWidget(parent);
  tabs->setObjectName(QString::fromLatin1(name));
  return tabs;
}

// Names each page of a tab set after its caption.
void NamePages(QTabWidget& tabs) {
  for (int page = 0; page < tabs.count(); ++page) {
    if (tabs.widget(page)->accessibleName().isEmpty()) {
      tabs.widget(page)->setAccessibleName(tabs.tabText(page));
    }
  }
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

SettingsGrid* frmMain::AddGrid(const QString& name) {
  auto* grid = new SettingsGrid(name, this);
  grid->setMinimumSize(120, 90);
  return grid;
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
  SSTab1 = TabSet(central, "SSTab1");
  SSTab1->addTab(BuildGasPage(), tr("Gas Name / Channel"));
  SSTab1->addTab(BuildOtherPage(), tr("Other Setting"));
  SSTab1->addTab(BuildStationUserPage(), tr("Station / User"));
  SSTab1->addTab(BuildConversionPage(), tr("Conversion Table"));
  SSTab1->addTab(BuildPidPage(), tr("PID Sensor"));
  SSTab1->addTab(BuildAlarmLevelPage(), tr("Alarm Levels"));
  settingsColumn->addWidget(SSTab1, 1);
  layout->addLayout(settingsColumn, 1);
  setCentralWidget(central);
  BuildFileMenu();
  for (QTabWidget* tabs : {SSTab1, sstUser, SSTab2, SSTab3}) NamePages(*tabs);
  SSTab1->setAccessibleName(tr("Settings"));
  InstallGridRules();
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

QWidget* frmMain::BuildGasPage() {
  auto* page = new QWidget(this);
  auto* grid = new QGridLayout(page);
  lblName = GridLabel(page, "lblName", "Gas Name and CAT Ratio");
  vfgGasName = AddGrid(QStringLiteral("vfgGasName"));
  lblMap = GridLabel(page, "lblMap", "Channel GAS Mapping");
  vfgChannel = AddGrid(QStringLiteral("vfgChannel"));
  vfgOtherSet = AddGrid(QStringLiteral("vfgOtherSet"));
  grid->addWidget(lblName, 0, 0, 1, 2);
  grid->addWidget(vfgGasName, 1, 0, 1, 2);
  grid->addWidget(lblMap, 2, 0);
  grid->addWidget(vfgChannel, 3, 0);
  grid->addWidget(vfgOtherSet, 3, 1);
  grid->setRowStretch(1, 1);
  grid->setRowStretch(3, 1);
  return page;
}

QWidget* frmMain::BuildOtherPage() {
  auto* page = new QWidget(this);
  auto* grid = new QGridLayout(page);
  lblOther = GridLabel(page, "lblOther", "Other Setting");
  vfgDatas = AddGrid(QStringLiteral("vfgDatas"));
  lblElimination = GridLabel(page, "lblElimination", "Methane Elimination");
  vfgME = AddGrid(QStringLiteral("vfgME"));
  grid->addWidget(lblOther, 0, 0);
  grid->addWidget(vfgDatas, 1, 0);
  grid->addWidget(lblElimination, 0, 1);
  grid->addWidget(vfgME, 1, 1);
  grid->setColumnStretch(0, 3);
  grid->setColumnStretch(1, 2);
  return page;
}

QWidget* frmMain::BuildStationUserPage() {
  auto* page = new QWidget(this);
  auto* outer = new QVBoxLayout(page);
  sstUser = TabSet(page, "sstUser");
  auto* lists = new QWidget(sstUser);
  auto* grid = new QGridLayout(lists);
  lblStation = GridLabel(lists, "lblStation", "Station List");
  vfgStation = AddGrid(QStringLiteral("vfgStation"));
  lblUser = GridLabel(lists, "lblUser", "User List");
  vfgUser = AddGrid(QStringLiteral("vfgUser"));
  grid->addWidget(lblStation, 0, 0);
  grid->addWidget(vfgStation, 1, 0);
  grid->addWidget(lblUser, 0, 1);
  grid->addWidget(vfgUser, 1, 1);
  grid->addWidget(TableButtons(lists, csv::CsvTable::Stations, QStringLiteral("cmdStationExport"),
                               QStringLiteral("cmdStationImport")),
                  2, 0);
  grid->addWidget(TableButtons(lists, csv::CsvTable::Users, QStringLiteral("cmdUserExport"),
                               QStringLiteral("cmdUserImport")),
                  2, 1);
  sstUser->addTab(lists, tr("Station / User List"));
  outer->addWidget(sstUser);
  return page;
}

QWidget* frmMain::BuildConversionPage() {
  auto* page = new QWidget(this);
  auto* outer = new QVBoxLayout(page);
  SSTab2 = TabSet(page, "SSTab2");
  vfgPreConv = AddGrid(QStringLiteral("vfgPreConv"));
  vfgUserConv = AddGrid(QStringLiteral("vfgUserConv"));
  SSTab2->addTab(vfgPreConv, tr("Pre-Defined Table"));
  SSTab2->addTab(vfgUserConv, tr("User Defined Table"));
  auto* countRow = new QHBoxLayout;
  auto* countLabel = new QLabel(tr("Available"), page);
  txtCount = new QLineEdit(page);
  txtCount->setObjectName(QStringLiteral("txtCount"));
  txtCount->setReadOnly(true);
  txtCount->setAccessibleName(countLabel->text());
  txtCount->setMaximumWidth(fontMetrics().averageCharWidth() * 8);
  countRow->addWidget(countLabel);
  countRow->addWidget(txtCount);
  countRow->addStretch(1);
  countRow->addWidget(TableButtons(page, csv::CsvTable::Conversion, QStringLiteral("cmdConvExport"),
                                   QStringLiteral("cmdConvImport")));
  outer->addLayout(countRow);
  outer->addWidget(SSTab2, 1);
  return page;
}

QWidget* frmMain::BuildPidPage() {
  auto* page = new QWidget(this);
  auto* outer = new QVBoxLayout(page);
  SSTab3 = TabSet(page, "SSTab3");
  static constexpr std::array<const char*, kPidRanges> kRangeTitles = {"High Range", "Low Range"};
  for (int range = 0; range < kPidRanges; ++range) {
    SettingsGrid* grid = AddGrid(QStringLiteral("vfgPID%1").arg(range));
    grid->setProperty("index", range);
    vfgPID[static_cast<std::size_t>(range)] = grid;
    SSTab3->addTab(grid, tr(kRangeTitles[static_cast<std::size_t>(range)]));
  }
  outer->addWidget(SSTab3);
  auto* pidButtons = new QHBoxLayout;
  for (int range = 0; range < kPidRanges; ++range) {
    const auto table = range == 0 ? csv::CsvTable::PidHigh : csv::CsvTable::PidLow;
    pidButtons->addWidget(TableButtons(page, table, QStringLiteral("cmdPIDExport%1").arg(range),
                                       QStringLiteral("cmdPIDImport%1").arg(range),
                                       tr(kRangeTitles[static_cast<std::size_t>(range)]) +
                                           QLatin1Char(' ')));
  }
  outer->addLayout(pidButtons);
  return page;
}

}  // namespace kv
