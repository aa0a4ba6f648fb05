#pragma once
// The window against the simulated instrument in the test's own process: the
// real transactions on the simulator's line, the link ticked every 100 ms of
// virtual time. A wait plays the replies and ticks one after another without
// waiting, so a 2 s completion poll costs nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "app/info_pane.h"
#include "files/backup_name.h"
#include "kvmaint/harness/in_process_sim.h"
#include "kvmaint/harness/virtual_time.h"
#include "test_doubles.h"
#include "window_pane.h"

namespace kv::test {

class WindowOnSim : public ::testing::Test {
 protected:
  // Makes the simulator with kvsim's `options` and a window connected to it.
  void Start(const QStringList& options = {}) {
    ASSERT_NO_FATAL_FAILURE(Open(options));
    ASSERT_TRUE(WaitFor([this] { return window_->Link().State() == LinkState::Connected; }, 5000));
  }

  // The same without waiting for the instrument to answer.
  void Open(const QStringList& options = {}) {
    std::vector<std::string> args;
    for (const QString& option : options) args.push_back(option.toStdString());
    sim_ = std::make_unique<inproc::Simulator>(args);
    ASSERT_FALSE(sim_->Device().empty()) << sim_->Error();
    time_ = std::make_unique<inproc::VirtualTime>(*sim_);
    frmMainServices services;
    services.dataFolder = dataDir_.path().toStdString();
    services.dialogs = &dialogs_;
    services.clock = &sim_->Time();
    services.transport = &sim_->Line();
    services.locateAdapter = [this] { return adapterPlugged_; };
    services.portName = [this] { return QString::fromStdString(sim_->Device()); };
    services.runTicker = false;
    services.recorder = recorder_;
    window_ = std::make_unique<frmMain>(std::move(services));
    ASSERT_TRUE(window_->Form_Load());
    window_->show();
    time_->StartTicks([this] { window_->SessionTick(); });
  }

  void TearDown() override {
    if (time_) time_->StopTicks();
    window_.reset();
  }

  // Plays virtual time until `done`, at most `ms` of it; whether it came.
  bool WaitFor(const std::function<bool()>& done, long long ms = 30000) {
    const long long end = sim_->NowMs() + ms;
    for (;;) {
      QCoreApplication::processEvents();
      if (done()) return true;
      if (!time_->Step(end)) break;
    }
    QCoreApplication::processEvents();
    return done();
  }

  // Lets `ms` of virtual time pass.
  void Pass(long long ms) {
    const long long end = sim_->NowMs() + ms;
    while (time_->Step(end)) QCoreApplication::processEvents();
    sim_->AdvanceTo(end);
    QCoreApplication::processEvents();
  }

  // Clicks Get and waits for the window to show the result.
  void RunGet(long long timeoutMs = 30000) { Click("cmdGet", timeoutMs); }

  // Clicks an action button and waits for its transaction to end.
  void Click(const char* button, long long timeoutMs = 30000) {
    QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
    window_->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    ASSERT_TRUE(WaitFor([&finished] { return !finished.isEmpty(); }, timeoutMs)) << button << " did not end";
  }

  QStringList PaneLines() { return PaneLinesOf(*window_); }
  QString LastPaneLine() { return LastPaneLineOf(*window_); }
  QColor LastLineColour() { return LastLineColourOf(*window_); }

  std::filesystem::path Backup(int number) const {
    return std::filesystem::path(dataDir_.path().toStdString()) / "Backup" /
           BackupFileName(sim_->Time().Now(), number);
  }

  QTemporaryDir dataDir_;
  test::ScriptedDialogs dialogs_;
  history::Recorder* recorder_ = nullptr;  // set before Start: the window records there
  bool adapterPlugged_ = true;  // what the adapter search finds
  std::unique_ptr<inproc::Simulator> sim_;
  std::unique_ptr<inproc::VirtualTime> time_;
  std::unique_ptr<frmMain> window_;
};

// The window with the simulator's trace of every line it received, and the
// window's menu entries by name.
class TracedWindowOnSim : public WindowOnSim {
 protected:
  // Completion polls are answered "finished" at once.
  void StartTraced() {
    tracePath_ = dataDir_.filePath(QStringLiteral("trace.txt"));
    ASSERT_NO_FATAL_FAILURE(Start({QStringLiteral("--trace"), tracePath_, QStringLiteral("--busy-polls"),
                                   QStringLiteral("0")}));
  }

  QString Trace() const {
    QFile file(tracePath_);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll());
  }

  QAction* Action(const char* name) const { return window_->findChild<QAction*>(QString::fromLatin1(name)); }

  QString tracePath_;
};

}  // namespace kv::test
