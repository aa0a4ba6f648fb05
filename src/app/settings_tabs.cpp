// SettingsTabs: the pages and where each grid stands on them.
#include "app/settings_tabs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/settings_grid.h"
#include "qtedge/latin1.h"

namespace kv {
namespace {

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

SettingsTabs::SettingsTabs(clsInstrument& record, QWidget* parent)
    : QTabWidget(parent), record_(record) {
  setObjectName(QStringLiteral("SSTab1"));
  addTab(BuildGasPage(), tr("Gas Name / Channel"));
  addTab(BuildOtherPage(), tr("Other Setting"));
  addTab(BuildStationUserPage(), tr("Station / User"));
  addTab(BuildConversionPage(), tr("Conversion Table"));
  addTab(BuildPidPage(), tr("PID Sensor"));
  addTab(BuildAlarmLevelPage(), tr("Alarm Levels"));
  for (QTabWidget* tabs : {static_cast<QTabWidget*>(this), sstUser, SSTab2, SSTab3}) NamePages(*tabs);
  setAccessibleName(tr("Settings"));
  InstallGridRules();
}

SettingsGrid* SettingsTabs::AddGrid(const QString& name) {
  auto* grid = new SettingsGrid(name, this);
  grid->setMinimumSize(120, 90);
  return grid;
}

QWidget* SettingsTabs::BuildGasPage() {
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

QWidget* SettingsTabs::BuildOtherPage() {
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

QWidget* SettingsTabs::BuildStationUserPage() {
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

QWidget* SettingsTabs::BuildConversionPage() {
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

QWidget* SettingsTabs::BuildPidPage() {
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

QWidget* SettingsTabs::BuildAlarmLevelPage() {
  auto* page = new QWidget(this);
  auto* outer = new QVBoxLayout(page);
  auto* caption = new QLabel(tr("Alarm Levels"), page);
  QFont bold = caption->font();
  bold.setBold(true);
  caption->setFont(bold);
  vfgAlarmLevels = AddGrid(QStringLiteral("vfgAlarmLevels"));
  outer->addWidget(caption);
  outer->addWidget(vfgAlarmLevels, 1);
  return page;
}

QWidget* SettingsTabs::TableButtons(QWidget* parent, csv::CsvTable table, const QString& exportName,
                                    const QString& importName, const QString& caption) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* exportButton = new QPushButton(caption + tr("Export"), row);
  exportButton->setObjectName(exportName);
  auto* importButton = new QPushButton(caption + tr("Import"), row);
  importButton->setObjectName(importName);
  // The buttons' texts repeat from table to table; the names say which table.
  const QString tableName = caption + ToQString(std::string(csv::ShapeOf(table).title));
  exportButton->setAccessibleName(tr("Export %1").arg(tableName));
  importButton->setAccessibleName(tr("Import %1").arg(tableName));
  connect(exportButton, &QPushButton::clicked, this, [this, table] { emit ExportRequested(table); });
  connect(importButton, &QPushButton::clicked, this, [this, table] { emit ImportRequested(table); });
  layout->addWidget(exportButton);
  layout->addWidget(importButton);
  layout->addStretch(1);
  return row;
}

}  // namespace kv
