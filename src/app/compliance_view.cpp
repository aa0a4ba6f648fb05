#include "app/compliance_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/history_host.h"
#include "app/history_tables.h"
#include "files/configuration.h"
#include "files/kvd_reader.h"
#include "fleet/policy_audit.h"
#include "qtedge/latin1.h"
#include "report/fleet_view.h"

namespace kv {
ComplianceView::ComplianceView(history::Store& store, HistoryHost& host, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), store_(store), host_(host), dialogs_(dialogs) {
  auto* layout = new QVBoxLayout(this);
  auto* policy = new QHBoxLayout;
  lblPolicy = new QLabel(this);
  lblPolicy->setObjectName(QStringLiteral("lblPolicy"));
  policy->addWidget(lblPolicy, 1);
  cmdPolicy = new QPushButton(tr("Policy file..."), this);
  cmdPolicy->setObjectName(QStringLiteral("cmdPolicy"));
  cmdPolicy->setToolTip(tr("The company's maintenance data file every instrument is compared with; kept "
                           "in KVMaintenance.ini."));
  policy->addWidget(cmdPolicy);
  layout->addLayout(policy);
  tblCompliance = ReadOnlyTable(this, "tblCompliance",
                                {tr("Serial"), tr("Model"), tr("Last Read"), tr("State"), tr("Setting"),
                                 tr("Policy"), tr("Instrument")});
  layout->addWidget(tblCompliance, 1);
  lblSummary = new QLabel(this);
  lblSummary->setObjectName(QStringLiteral("lblComplianceSummary"));
  layout->addWidget(lblSummary);
  connect(cmdPolicy, &QPushButton::clicked, this, [this] { ChoosePolicy(); });
  Audit();
}

void ComplianceView::ChoosePolicy() {
  const QString name = dialogs_.OpenFile(MaintenanceFileFilter());
  if (name.isEmpty()) return;
  std::string error;
  if (!SaveFleetPolicyFile(host_.DataFolder().string(), ToLatin1(name), &error)) {
    dialogs_.Critical(window()->windowTitle(), ToQString("The policy file is not kept: " + error));
  }
  Audit();
}

void ComplianceView::Audit() {
  tblCompliance->setRowCount(0);
  const std::string path = LoadFleetPolicyFile(host_.DataFolder().string());
  if (path.empty()) {
    lblPolicy->setText(tr("No policy file chosen."));
    lblSummary->setText(tr("Choose the company's maintenance data file to compare every instrument with."));
    return;
  }
  lblPolicy->setText(tr("Policy: %1").arg(ToQString(path)));
  clsInstrument policy;
  const KvdLoadResult loaded = ReadMaintenanceFile(policy, path);
  if (!loaded.complete) {
    lblSummary->setText(ToQString("The policy file cannot be read: " + loaded.reason));
    return;
  }
  std::string error;
  const std::optional<report::FleetView> fleet = report::GatherFleet(store_, &error);
  if (!fleet) {
    lblSummary->setText(ToQString("History: " + error));
    return;
  }
  int compliant = 0, differ = 0, neverRead = 0;
  for (const fleet::FleetInstrument& instrument : fleet->instruments) {
    const auto read = fleet->latestReads.find(instrument.serial);
    if (read == fleet->latestReads.end()) {
      ++neverRead;
      AddRow(*tblCompliance, {instrument.serial, instrument.model, "", "never read"});
      continue;
    }
    const std::vector<fleet::PolicyDifference> differences = fleet::DifferencesFromPolicy(policy, read->second);
    if (differences.empty()) {
      ++compliant;
      AddRow(*tblCompliance, {instrument.serial, instrument.model, instrument.lastRead, "compliant"});
      continue;
    }
    ++differ;
    for (const fleet::PolicyDifference& d : differences) {
      AddRow(*tblCompliance, {instrument.serial, instrument.model, instrument.lastRead, "differs", d.caption,
                              d.policyValue, d.instrumentValue});
    }
  }
  lblSummary->setText(tr("%1 compliant, %2 differ, %3 never read").arg(compliant).arg(differ).arg(neverRead));
}

}  // namespace kv
