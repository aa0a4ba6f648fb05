#pragma once
// The History window's compliance view: every instrument's latest read
// against the company's maintenance data file (the policy), setting by
// setting, as `kvmaint fleet audit` lists it. The policy file is chosen once
// and kept in KVMaintenance.ini ([Fleet] PolicyFile=).
#include <QWidget>

#include "history/history_store.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace kv {

class Dialogs;
class HistoryHost;

class ComplianceView final : public QWidget {
  Q_OBJECT

 public:
  ComplianceView(history::Store& store, HistoryHost& host, Dialogs& dialogs, QWidget* parent = nullptr);

  // Asks for the policy file, keeps it in the configuration and audits.
  void ChoosePolicy();
  // Audits the fleet against the kept policy file (says so when none is kept).
  void Audit();

 private:
  history::Store& store_;
  HistoryHost& host_;
  Dialogs& dialogs_;
  QLabel* lblPolicy = nullptr;
  QLabel* lblSummary = nullptr;
  QPushButton* cmdPolicy = nullptr;
  QTableWidget* tblCompliance = nullptr;
};

}  // namespace kv
