#pragma once
// The window on the simulated instrument in this process: SimTransport, the
// real transactions on a manual clock, and every line the instrument
// received kept, so a test can say what was written and what was not.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "link/forwarding_transport.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "common/clock.h"
#include "sim/sim_default_state.h"
#include "sim/sim_instrument.h"
#include "sim/sim_transport.h"
#include "test_doubles.h"

namespace kv::test {

// SimTransport, keeping each written line.
class RecordingSimPort final : public ForwardingTransport {
 public:
  // The base keeps a reference to port_, used only once the port is made.
  explicit RecordingSimPort(sim::SimInstrument& instrument) : ForwardingTransport(port_), port_(instrument) {}

  std::vector<std::string> lines;

  bool Write(std::string_view bytes) override {
    lines.emplace_back(bytes);
    return port_.Write(bytes);
  }

 private:
  sim::SimTransport port_;
};

class RecordingWindowOnSim : public ::testing::Test {
 protected:
  // The window, connected to the simulator.
  void Start() {
    ASSERT_TRUE(dataDir_.isValid());
    frmMainServices services;
    services.dataFolder = dataDir_.path().toStdString();
    services.dialogs = &dialogs_;
    services.clock = &clock_;
    services.transport = &port_;
    services.locateAdapter = [] { return true; };
    services.runTicker = false;
    window_ = std::make_unique<frmMain>(std::move(services));
    port_.Attach(&window_->Link());
    ASSERT_TRUE(window_->Form_Load());
    window_->show();
    for (int i = 0; i < 50 && window_->Link().State() != LinkState::Connected; ++i) Tick();
    ASSERT_EQ(window_->Link().State(), LinkState::Connected);
  }

  void TearDown() override {
    window_.reset();
    port_.Attach(nullptr);
  }

  void Tick() {
    clock_.AdvanceMilliseconds(100);
    window_->Link().Tick();
    QCoreApplication::processEvents();
  }

  // Runs `action` and the link until the window has shown the result.
  template <class Action>
  void RunTransaction(Action action, int maxTicks = 2000) {
    QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
    action();
    for (int i = 0; i < maxTicks && finished.isEmpty(); ++i) Tick();
    ASSERT_EQ(finished.count(), 1) << "the transaction did not end";
  }

  // The lines the instrument received that write a setting ("XT,W,...").
  std::vector<std::string> WriteLines() const {
    std::vector<std::string> written;
    for (const std::string& line : port_.lines) {
      if (line.find(",W,") != std::string::npos) written.push_back(line);
    }
    return written;
  }

  QStringList PaneLines() const {
    QStringList lines = window_->findChild<InfoPane*>()->toPlainText().split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
  }

  QTemporaryDir dataDir_;
  ManualClock clock_{DateTime{2026, 3, 7, 10, 0, 0}};
  ScriptedDialogs dialogs_;
  sim::SimInstrument instrument_{clock_, sim::MakeDemoInstrument()};
  RecordingSimPort port_{instrument_};
  std::unique_ptr<frmMain> window_;
};

}  // namespace kv::test
