// The Service menu on a scripted port: its entries follow the link like the
// action buttons, and entries that need an answer send nothing without one.
#include <gtest/gtest.h>

#include <QAction>

#include "app/service_menu.h"
#include "main_window_fixture.h"

namespace kv {
namespace {

class ServiceMenu : public test::MainWindowFixture {
 protected:
  // Every entry of the menu, the live readings included.
  std::vector<QAction*> Entries() {
    std::vector<QAction*> entries;
    for (QAction* action : window_->findChildren<QAction*>()) {
      if (action->objectName().startsWith(QStringLiteral("mnuService"))) entries.push_back(action);
    }
    return entries;
  }

  void ExpectEnabled(bool enabled, const char* when) {
    for (const QAction* action : Entries()) {
      EXPECT_EQ(action->isEnabled(), enabled) << action->objectName().toStdString() << " " << when;
    }
  }
};

TEST_F(ServiceMenu, EntriesNeedAConnectedInstrument) {
  transport_.answersProbe = false;
  ASSERT_TRUE(Load());
  window_->show();
  // One per operation, plus the live readings.
  ASSERT_EQ(Entries().size(), ServiceEntries().size() + 1);
  ExpectEnabled(false, "before the instrument answered");
  transport_.answersProbe = true;
  // The link's next probe, or the window's next search, finds it.
  for (int i = 0; i < 200 && window_->Link().State() != LinkState::Connected; ++i) Tick(1);
  ASSERT_EQ(window_->Link().State(), LinkState::Connected);
  ExpectEnabled(true, "once connected");
  window_->Link().OnModemLinesChanged(false, false);
  ExpectEnabled(false, "after the link was lost");
}

struct UnansweredPrompt {
  const char* action;
  QStringList texts;  // the answers given before the one left out or refused
  bool refused;       // an answer out of range: said so in an error box
};

void PrintTo(const UnansweredPrompt& c, std::ostream* out) {
  *out << c.action << " after " << c.texts.size() << " answers";
}

class AServicePrompt : public ServiceMenu, public ::testing::WithParamInterface<UnansweredPrompt> {};

// Cancelled prompts and answers out of range start nothing.
TEST_P(AServicePrompt, CancelledOrRefusedSendsNothing) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const std::size_t written = transport_.writes.size();
  for (const QString& text : GetParam().texts) dialogs_.texts.push_back(text);
  window_->findChild<QAction*>(QString::fromLatin1(GetParam().action))->trigger();
  Tick(30);
  EXPECT_EQ(transport_.writes.size(), written);
  const bool saidWhy = dialogs_.calls.back().kind == "show" &&
                       dialogs_.calls.back().icon == Dialogs::Icon::Critical;
  EXPECT_EQ(saidWhy, GetParam().refused);
  EXPECT_FALSE(window_->Busy());
}

INSTANTIATE_TEST_SUITE_P(
    Prompts, AServicePrompt,
    ::testing::Values(UnansweredPrompt{"mnuServiceLoadDefaults", {}, false},
                      UnansweredPrompt{"mnuServiceLoadDefaults", {QStringLiteral("256")}, true},
                      UnansweredPrompt{"mnuServiceLoadDefaults", {QStringLiteral("ten")}, true},
                      UnansweredPrompt{"mnuServiceDumpFlash", {}, false},
                      UnansweredPrompt{"mnuServiceDumpListing", {QStringLiteral("es")}, true},
                      UnansweredPrompt{"mnuServiceDumpListing", {QStringLiteral("ES")}, false},
                      UnansweredPrompt{"mnuServiceDumpModule", {QStringLiteral("300")}, true},
                      UnansweredPrompt{"mnuServiceDumpModule",
                                       {QStringLiteral("1"), QStringLiteral("MD"),
                                        QStringLiteral("0")},
                                       true}));

}  // namespace
}  // namespace kv
