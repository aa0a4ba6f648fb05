// The window never leaves the user with Exit as the only way on: while no
// instrument answers it keeps looking and says what for, Connect now probes
// at once, Transmit comes back with the instrument, the identity read last
// stays shown, and leaving with edits says how many.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <csignal>

#include "app/grid_editor.h"
#include "app/instrument_search.h"
#include "app/settings_grid.h"
#include "window_on_sim.h"

namespace kv {
namespace {

constexpr int kBacklightRow = 14;  // "Other Setting"

class AlwaysAWayOn : public test::WindowOnSim {
 protected:
  QPushButton* Button(const char* name) { return window_->findChild<QPushButton*>(QString::fromLatin1(name)); }
  QString Identity() { return window_->findChild<QLabel*>(QStringLiteral("lblIdentity"))->text(); }
  bool Connected() { return window_->Link().State() == LinkState::Connected; }
  int PaneCount(const QString& line) { return static_cast<int>(PaneLines().count(line)); }
  QString WaitingOnSim() const {
    return QStringLiteral("Waiting for an instrument on %1 ...").arg(QString::fromStdString(sim_->Device()));
  }

  void PowerOff() {
    dialogs_.answers = {true};
    Click("cmdPowerOff");
    ASSERT_TRUE(sim_->Instrument().PoweredOff());
  }

  void EnterBacklight(const char* text) {
    auto* grid = window_->findChild<SettingsGrid*>(QStringLiteral("vfgDatas"));
    const rules::EditCheck check = EnterText(*grid, kBacklightRow, 1, QString::fromLatin1(text));
    ASSERT_TRUE(check.accepted) << check.reason;
  }
};

TEST_F(AlwaysAWayOn, AfterPowerOffTheInstrumentSwitchedOnAgainConnectsByItself) {
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  const QString identity = Identity();
  EXPECT_TRUE(identity.startsWith(QStringLiteral("KORVIN S/N "))) << identity.toStdString();
  EXPECT_FALSE(identity.contains(QStringLiteral("last read")));
  ASSERT_NO_FATAL_FAILURE(PowerOff());

  // Several connect sequences give up meanwhile; the pane says so once.
  Pass(60000);
  EXPECT_FALSE(Connected());
  EXPECT_EQ(PaneCount(QStringLiteral("KORVIN No Response. Check Port,Cable And Power.")), 1);
  EXPECT_EQ(PaneCount(WaitingOnSim()), 1);
  EXPECT_EQ(window_->WaitingFor(), WaitingOnSim());
  EXPECT_TRUE(Button("cmdConnect")->isEnabled());
  EXPECT_EQ(Identity(), identity + QStringLiteral(" (last read)"));

  sim_->Signal(SIGUSR1);
  const long long switchedOn = sim_->NowMs();
  ASSERT_TRUE(WaitFor([this] { return Connected(); }, 10000)) << "not connected by itself";
  EXPECT_LE(sim_->NowMs() - switchedOn, 8000);
  EXPECT_TRUE(window_->WaitingFor().isEmpty());
  EXPECT_FALSE(Button("cmdConnect")->isEnabled());
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  RunGet();
  ASSERT_EQ(finished.count(), 1);
  EXPECT_TRUE(finished.front().front().toBool()) << "Get works again";
  EXPECT_EQ(Identity(), identity);
}

TEST_F(AlwaysAWayOn, StartedWithoutAnAdapterSaysWhatItWaitsForAndConnectsOnceItIsPlugged) {
  adapterPlugged_ = false;
  ASSERT_NO_FATAL_FAILURE(Open());
  const QString waiting = QStringLiteral(
      "Waiting for the infrared adapter: none is plugged in. Plug it in, or choose a port and press "
      "Connect now.");
  EXPECT_EQ(PaneLines(), QStringList{waiting});
  EXPECT_EQ(Identity(), "No instrument read");
  Pass(30000);
  EXPECT_FALSE(Connected());
  EXPECT_EQ(PaneLines(), QStringList{waiting}) << "said once, not at every look";
  for (const char* name : {"cmdGet", "cmdSend", "cmdPowerOff"}) EXPECT_FALSE(Button(name)->isEnabled()) << name;
  EXPECT_TRUE(Button("cmdConnect")->isEnabled());
  EXPECT_TRUE(Button("cmdEnd")->isEnabled());

  adapterPlugged_ = true;
  ASSERT_TRUE(WaitFor([this] { return Connected(); }, 8000)) << "not connected by itself";
  EXPECT_TRUE(Button("cmdGet")->isEnabled());
  EXPECT_EQ(Identity(), "Instrument connected, not read yet");
}

TEST_F(AlwaysAWayOn, ConnectNowLooksAtOnce) {
  adapterPlugged_ = false;
  ASSERT_NO_FATAL_FAILURE(Open());
  adapterPlugged_ = true;
  Button("cmdConnect")->click();
  // Well inside the search's own pause.
  const int pauseMs = InstrumentSearch::kPauseTicks * 100;
  EXPECT_TRUE(WaitFor([this] { return Connected(); }, pauseMs / 2));
}

TEST_F(AlwaysAWayOn, ThePortChooserOffersTheSearchAndEveryPort) {
  adapterPlugged_ = false;
  ASSERT_NO_FATAL_FAILURE(Open());
  auto* ports = window_->findChild<QComboBox*>(QStringLiteral("cboPort"));
  ASSERT_NE(ports, nullptr);
  EXPECT_EQ(ports->count(), 1);
  EXPECT_EQ(ports->itemText(0), "Adapter search");
  EXPECT_TRUE(ports->isEnabled());
}

TEST_F(AlwaysAWayOn, TransmitIsUsableAgainOnceTheInstrumentIsBack) {
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  ASSERT_NO_FATAL_FAILURE(EnterBacklight("10"));
  ASSERT_TRUE(Button("cmdSend")->isEnabled());
  sim_->Unplug();
  QCoreApplication::processEvents();
  EXPECT_FALSE(Button("cmdSend")->isEnabled()) << "no instrument to send to";
  EXPECT_TRUE(Identity().endsWith(QStringLiteral(" (last read)")));
  ASSERT_TRUE(WaitFor([this] { return Connected(); }, 10000)) << "not connected by itself";
  EXPECT_TRUE(Button("cmdSend")->isEnabled()) << "the edits can be sent again";
  dialogs_.reviews = {true};
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  Click("cmdSend");
  ASSERT_EQ(finished.count(), 1);
  EXPECT_TRUE(finished.front().front().toBool());
  EXPECT_EQ(sim_->Instrument().Device().Settings().LcdBackLight(), 10);
}

TEST_F(AlwaysAWayOn, ExitSaysHowManyEditsWereNotTransmitted) {
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  struct Case {
    const char* backlight;
    const char* question;
  };
  const Case cases[] = {{nullptr, "EXIT ?"}, {"10", "1 edit not transmitted. EXIT ?"}};
  for (const Case& c : cases) {
    if (c.backlight != nullptr) {
      ASSERT_NO_FATAL_FAILURE(EnterBacklight(c.backlight));
    }
    dialogs_.answers = {false};
    EXPECT_FALSE(window_->close());
    EXPECT_EQ(dialogs_.calls.back().text, QString::fromLatin1(c.question));
  }
}

TEST_F(AlwaysAWayOn, EndingTheSessionCancelsATransactionAndAsksNothing) {
  ASSERT_NO_FATAL_FAILURE(Start());
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  window_->cmdGet_Click();
  ASSERT_TRUE(window_->Busy());
  const std::size_t asked = dialogs_.calls.size();
  window_->EndSession();
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(window_->Link().Cancel());
  EXPECT_EQ(dialogs_.calls.size(), asked) << "no dialog waits";
}

}  // namespace
}  // namespace kv
