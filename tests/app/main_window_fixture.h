#pragma once
// A main window on a scripted port, scripted dialogs, a fixed clock and a
// temporary data folder. Tests tick the link themselves.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <memory>

#include "app/frm_main.h"
#include "app/info_pane.h"
#include "common/clock.h"
#include "test_doubles.h"

namespace kv::test {

class MainWindowFixture : public ::testing::Test {
 protected:
  using ReadFunction = std::function<Transaction(uclTzif&, clsInstrument&)>;

  void SetUp() override { ASSERT_TRUE(dataDir_.isValid()); }

  std::filesystem::path DataFolder() const { return dataDir_.path().toStdString(); }

  // Builds the window and runs its start-up; true when it may be shown.
  bool Load(ReadFunction read = {}, std::filesystem::path folder = {}) {
    frmMainServices services;
    services.dataFolder = folder.empty() ? DataFolder() : folder;
    services.dialogs = &dialogs_;
    services.clock = &clock_;
    services.transport = &transport_;
    services.locateAdapter = [] { return true; };
    services.readInstrument = std::move(read);
    services.runTicker = false;
    window_ = std::make_unique<frmMain>(std::move(services));
    transport_.Attach(&window_->Link());
    return window_->Form_Load();
  }

  // Loads, shows and connects (the probe is answered on the first ticks).
  void Start(ReadFunction read = {}) {
    ASSERT_TRUE(Load(std::move(read)));
    window_->show();
    Tick(15);
    ASSERT_EQ(window_->Link().State(), LinkState::Connected);
  }

  void Tick(int ticks) {
    for (int i = 0; i < ticks; ++i) {
      clock_.AdvanceMilliseconds(100);
      window_->Link().Tick();
    }
  }

  // Clicks Get and runs the link until the window has shown the result.
  void RunGet(int maxTicks = 200) {
    QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
    window_->cmdGet_Click();
    for (int i = 0; i < maxTicks && finished.isEmpty(); ++i) {
      Tick(1);
      QCoreApplication::processEvents();
    }
    ASSERT_EQ(finished.count(), 1) << "the read did not end";
  }

  InfoPane& Pane() { return *window_->findChild<InfoPane*>(QStringLiteral("rtbInfo")); }

  // The pane's lines (without the empty one after the last break).
  QStringList PaneLines() {
    QStringList lines = Pane().toPlainText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
  }

  QColor LastLineColour() {
    const QTextBlock block = Pane().document()->lastBlock().previous();
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::NextCharacter);
    return cursor.charFormat().foreground().color();
  }

  // The colour of the pane line that holds `text`; invalid when none does.
  QColor ColourOfLine(const QString& text) {
    for (QTextBlock block = Pane().document()->begin(); block.isValid(); block = block.next()) {
      if (block.text() == text) {
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::NextCharacter);
        return cursor.charFormat().foreground().color();
      }
    }
    return {};
  }

  std::string SessionLog() const {
    QFile file(QString::fromStdString((DataFolder() / "SerialLog.log").string()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
  }

  template <class W>
  W* Find(const char* name) {
    return window_->findChild<W*>(QString::fromLatin1(name));
  }

  QTemporaryDir dataDir_;
  ManualClock clock_{DateTime{2026, 3, 7, 10, 0, 0}};
  ScriptedDialogs dialogs_;
  FakeTransport transport_;
  std::unique_ptr<frmMain> window_;
};

}  // namespace kv::test
