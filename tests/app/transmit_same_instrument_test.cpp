// After the link was lost and an instrument connected again, Transmit sends
// only to the instrument whose settings the grids hold: it asks the one now
// connected for its serial number first and refuses, saying why, when it is
// another.
#include <gtest/gtest.h>

#include "app/grid_editor.h"
#include "app/settings_grid.h"
#include "window_on_sim.h"

namespace kv {
namespace {

constexpr int kBacklightRow = 14;  // "Other Setting"

struct ReconnectCase {
  const char* name;
  const char* serialAfter;  // the serial number of the instrument that answers again; null: the same one
  bool sent;
};

class TransmitAfterReconnect : public test::WindowOnSim,
                               public ::testing::WithParamInterface<ReconnectCase> {};

TEST_P(TransmitAfterReconnect, SendsOnlyToTheInstrumentRead) {
  const ReconnectCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  clsInstrument& device = sim_->Instrument().Device().Settings();
  const std::string serialRead = device.SerialNo();
  const int backlightBefore = device.LcdBackLight();
  auto* grid = window_->findChild<SettingsGrid*>(QStringLiteral("vfgDatas"));
  ASSERT_TRUE(EnterText(*grid, kBacklightRow, 1, QStringLiteral("10")).accepted);

  sim_->Unplug();
  QCoreApplication::processEvents();
  if (c.serialAfter != nullptr) device.SetSerialNo(c.serialAfter);
  ASSERT_TRUE(WaitFor([this] { return window_->Link().State() == LinkState::Connected; }, 10000));

  dialogs_.reviews = {true};
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  Click("cmdSend");
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.front().front().toBool(), c.sent);
  EXPECT_EQ(device.LcdBackLight(), c.sent ? 10 : backlightBefore);
  if (c.sent) return;
  const QString expected = QStringLiteral(
      "Not transmitted: the instrument connected now is S/N %1, but the grids hold the settings read "
      "from S/N %2. Get the settings of this instrument first, or connect S/N %2 again.")
                               .arg(QString::fromLatin1(c.serialAfter), QString::fromStdString(serialRead));
  EXPECT_EQ(LastPaneLine(), expected);
  ASSERT_FALSE(dialogs_.calls.empty());
  EXPECT_EQ(dialogs_.calls.back().icon, Dialogs::Icon::Critical);
  EXPECT_EQ(dialogs_.calls.back().text, expected);
  EXPECT_FALSE(dialogs_.reviews.empty()) << "refused before the review";
}

INSTANTIATE_TEST_SUITE_P(Reconnects, TransmitAfterReconnect,
                         ::testing::Values(ReconnectCase{"same_instrument", nullptr, true},
                                           ReconnectCase{"another_instrument", "KV24-0009999", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
