#pragma once
// The window against the simulated instrument: a real serial transport on
// kvsim's pseudo-terminal, the real transactions and the 100 ms ticker.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/demo_simulator.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "files/backup_name.h"
#include "qtedge/qt_serial_transport.h"
#include "test_doubles.h"
#include "window_pane.h"

namespace kv::test {

inline QString KvsimPath() {
  const QString binaryDir = qEnvironmentVariable("KV_BINARY_DIR");
  const QString folder = binaryDir.isEmpty()
                             ? QCoreApplication::applicationDirPath() + QStringLiteral("/..")
                             : binaryDir;
  return QDir(folder).filePath(QStringLiteral("kvsim"));
}

class WindowOnKvsim : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QFileInfo(KvsimPath()).isExecutable()) GTEST_SKIP() << "kvsim is not built";
  }

  // Starts kvsim with `faults` and a window connected to it.
  void Start(const QStringList& faults = {}) {
    ASSERT_TRUE(simulator_.Start(KvsimPath(), faults)) << simulator_.Error().toStdString();
    frmMainServices services;
    services.dataFolder = dataDir_.path().toStdString();
    services.dialogs = &dialogs_;
    services.clock = &clock_;
    services.transport = &port_;
    services.locateAdapter = [this] {
      port_.SetPortName(simulator_.DevicePath());
      return true;
    };
    window_ = std::make_unique<frmMain>(std::move(services));
    ASSERT_TRUE(window_->Form_Load());
    window_->show();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window_->Link().State() == LinkState::Connected; },
                                5000));
  }

  void TearDown() override {
    window_.reset();
    port_.Close();
    simulator_.Stop();
  }

  // Clicks Get and waits for the window to show the result.
  void RunGet(int timeoutMs = 30000) { Click("cmdGet", timeoutMs); }

  // Clicks an action button and waits for its transaction to end.
  void Click(const char* button, int timeoutMs = 30000) {
    QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
    window_->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    ASSERT_TRUE(finished.wait(timeoutMs)) << button << " did not end";
  }

  QStringList PaneLines() { return PaneLinesOf(*window_); }
  QString LastPaneLine() { return LastPaneLineOf(*window_); }
  QColor LastLineColour() { return LastLineColourOf(*window_); }

  std::filesystem::path Backup(int number) const {
    return std::filesystem::path(dataDir_.path().toStdString()) / "Backup" /
           BackupFileName(clock_.Now(), number);
  }

  QTemporaryDir dataDir_;
  SystemClock clock_;
  test::ScriptedDialogs dialogs_;
  QtSerialTransport port_;
  DemoSimulator simulator_;
  std::unique_ptr<frmMain> window_;
};

}  // namespace kv::test
