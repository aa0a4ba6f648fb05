#pragma once
// The Service menu: its actions, the questions each entry asks (through the
// Dialogs interface), the run of its operation (src/ops, or a dump) through
// the main window's transaction running, and how its outcome is shown.
// The window is seen only through ServiceWindow, so the controller knows
// nothing else of it.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/service_menu.h"
#include "common/datetime.h"
#include "link/task.h"

class QAction;
class QMenu;

namespace kv {

class Clock;
class Dialogs;
class uclTzif;

// What the controller needs of the main window.
class ServiceWindow {
 public:
  virtual ~ServiceWindow() = default;
  virtual uclTzif& Link() = 0;
  virtual Dialogs& Prompts() = 0;
  virtual const Clock& Time() = 0;
  // No transaction runs and an instrument answers.
  virtual bool Idle() = 0;
  // Starts `transaction` as the window runs its transactions; `done` is
  // called from the event loop when it has ended. False when it could not start.
  virtual bool RunTransaction(Transaction transaction, std::function<void(bool ok)> done) = 0;
  // The progress dialog with Cancel (`longRunning`), else only the busy state.
  virtual void BeginService(const QString& caption, bool longRunning) = 0;
  virtual void ShowServiceProgress(std::uint64_t done, std::uint64_t total, const QString& message) = 0;
  // The busy state ends (before the outcome is shown) ...
  virtual void EndService() = 0;
  // ... and, once it is shown, the window tells that its transaction finished.
  virtual void ServiceFinished(bool ok) = 0;
  // A line in the information pane.
  virtual void Say(const QString& text, bool failure) = 0;
  virtual ops::HistorySink& History() = 0;
  // Says in the pane when an outcome was not recorded.
  virtual void ReportRecording(const ops::OperationOutcome& outcome) = 0;
  // Records an entry that no operation of src/ops records (the dumps).
  virtual void RecordDump(bool ok, const std::string& detail, const std::string& file) = 0;
  // The settings the window shows, for an initialisation, and the file they came from.
  virtual clsInstrument SettingsShown() = 0;
  virtual std::string FileShown() = 0;
  virtual bool SaveAsDefault() = 0;
  // The instrument's latest calibrations, kept for the report.
  virtual void KeepCalibrationHistory(const clsInstrument& record) = 0;
  virtual void OpenLiveReadings() = 0;
};

class ServiceController final : public QObject {
  Q_OBJECT

 public:
  ServiceController(std::unique_ptr<ServiceWindow> window, QObject* parent);
  ~ServiceController() override;

  // Adds the entries and Live Readings to `menu`.
  void BuildMenu(QMenu& menu);
  // Every action of the menu, enabled together while the window is idle.
  const std::vector<QAction*>& Actions() const { return actions_; }

  // Asks what the entry needs (and, for a destructive one, whether to go
  // ahead), then runs it; its outcome goes to the information pane.
  void Run(ServiceOperation operation);

 private:
  bool AskInputs(ServiceRun& run);
  bool AskDumpFile(ServiceRun& run, const QString& filter, const QString& suggested);
  DumpOptions DumpProgress();
  void Finished(bool ok);
  void Report(const ServiceRun& run, bool ok);

  std::unique_ptr<ServiceWindow> window_;
  std::unique_ptr<ServiceRun> run_;
  DateTime started_;  // of the running entry, for a dump's time left
  std::vector<QAction*> actions_;
};

}  // namespace kv
