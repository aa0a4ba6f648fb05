// Select Distributed File, the checks in front of Transmit, a Get over
// unsent edits, a lost link and the verify option, against a scripted port.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/grid_editor.h"
#include "app/settings_grid.h"
#include "files/configuration.h"
#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "known_record.h"
#include "main_window_fixture.h"

namespace kv {
namespace {

Task<bool> InstantRead(uclTzif&, clsInstrument& record) {
  record = test::KnownRecord();
  co_return true;
}

constexpr int kBacklightRow = 14;  // "Other Setting"

class WindowActions : public test::MainWindowFixture {
 protected:
  // A maintenance file of the known record; `cut` bytes taken off its end.
  QString KnownFile(int cut = 0) {
    const std::string path = (DataFolder() / "known.kvd").string();
    EXPECT_TRUE(WriteMaintenanceFile(test::KnownRecord(), path).ok);
    if (cut > 0) {
      QFile file(QString::fromStdString(path));
      EXPECT_TRUE(file.resize(file.size() - cut));
    }
    return QString::fromStdString(path);
  }

  QPushButton* Button(const char* name) { return Find<QPushButton>(name); }

  bool AnyWriteLineSent() const {
    for (const std::string& line : transport_.WrittenBytes()) {
      if (line.find(",W,") != std::string::npos) return true;
    }
    return false;
  }

  void EditBacklight(const char* text) {
    auto* grid = Find<SettingsGrid>("vfgDatas");
    ASSERT_TRUE(EnterText(*grid, kBacklightRow, 1, QString::fromLatin1(text)).accepted);
  }
};

TEST_F(WindowActions, ChoosingAFileLoadsItAndEnablesTransmitWithoutAnInstrument) {
  ASSERT_TRUE(Load());
  window_->show();
  ASSERT_FALSE(Button("cmdSend")->isEnabled());
  const QString path = KnownFile();
  dialogs_.files = {path};
  Button("cmdLoad")->click();
  EXPECT_TRUE(Button("cmdSend")->isEnabled());
  EXPECT_EQ(Find<QLineEdit>("txtPath")->text(), path);
  EXPECT_EQ(window_->EditInstrument().GasName(0), "CH4");
  EXPECT_TRUE(window_->EditInstrument().Change_GasName(0)) << "a loaded file is sent";
  EXPECT_EQ(Find<SettingsGrid>("vfgGasName")->Text(1, 1), "CH4");
  EXPECT_EQ(window_->CurInstrument().GasName(0), "") << "the instrument's record is not touched";
}

TEST_F(WindowActions, APartlyReadFileIsReportedInRedAndTransmitAsksFirst) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const QString path = KnownFile(3);
  clsInstrument scratch;
  const KvdLoadResult expected = ReadMaintenanceFile(scratch, path.toStdString());
  ASSERT_FALSE(expected.complete);
  dialogs_.files = {path};
  Button("cmdLoad")->click();
  EXPECT_EQ(PaneLines().back(), QStringLiteral("The file %1 was read only up to line %2 (%3); the "
                                               "settings before it are loaded.")
                                    .arg(path)
                                    .arg(expected.stoppedAtLine)
                                    .arg(QString::fromStdString(expected.reason)));
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));

  dialogs_.answers = {false};
  Button("cmdSend")->click();
  ASSERT_FALSE(dialogs_.calls.empty());
  EXPECT_EQ(dialogs_.calls.back().kind, "ask");
  EXPECT_TRUE(dialogs_.calls.back().text.contains(QStringLiteral("Transmit the settings read")));
  EXPECT_TRUE(dialogs_.reviewed.empty());
  EXPECT_FALSE(AnyWriteLineSent());
}

TEST_F(WindowActions, ATypedPathThatDoesNotExistIsReported) {
  ASSERT_TRUE(Load());
  const std::string before = window_->EditInstrument().GasName(0);
  Find<QLineEdit>("txtPath")->setText(QStringLiteral("nowhere.kvd"));
  window_->txtPath_LostFocus();
  ASSERT_FALSE(dialogs_.calls.empty());
  EXPECT_EQ(dialogs_.calls.back().text, "Not Found !! ( nowhere.kvd )");
  EXPECT_EQ(window_->EditInstrument().GasName(0), before);
}

TEST_F(WindowActions, TransmitWithNothingChangedSaysSoAndSendsNothing) {
  ASSERT_NO_FATAL_FAILURE(Start(InstantRead));
  RunGet();
  Button("cmdSend")->click();
  EXPECT_EQ(PaneLines().back(), "Nothing has changed: nothing was transmitted.");
  EXPECT_TRUE(dialogs_.reviewed.empty());
  EXPECT_FALSE(AnyWriteLineSent());
}

TEST_F(WindowActions, CancelInTheReviewSendsNothingAndKeepsTheEdit) {
  ASSERT_NO_FATAL_FAILURE(Start(InstantRead));
  RunGet();
  ASSERT_NO_FATAL_FAILURE(EditBacklight("9"));
  dialogs_.reviews = {false};
  Button("cmdSend")->click();
  ASSERT_EQ(dialogs_.reviewed.size(), 1u);
  ASSERT_EQ(dialogs_.reviewed[0].size(), 1u);
  EXPECT_EQ(dialogs_.reviewed[0][0].newValue, "9");
  EXPECT_EQ(dialogs_.calls.back().text, "Update Ready?");
  EXPECT_FALSE(AnyWriteLineSent());
  EXPECT_TRUE(Find<SettingsGrid>("vfgDatas")->IsEdited(kBacklightRow, 1));
}

TEST_F(WindowActions, AGetOverUnsentEditsAsksBeforeDiscardingThem) {
  ASSERT_NO_FATAL_FAILURE(Start(InstantRead));
  RunGet();
  ASSERT_NO_FATAL_FAILURE(EditBacklight("9"));
  dialogs_.answers = {false};
  window_->cmdGet_Click();
  EXPECT_EQ(dialogs_.calls.back().text,
            "The grids hold edits that were not transmitted. Discard them and read the instrument?");
  EXPECT_FALSE(window_->Busy());
  EXPECT_TRUE(Find<SettingsGrid>("vfgDatas")->IsEdited(kBacklightRow, 1));

  dialogs_.answers = {true};
  RunGet();
  EXPECT_FALSE(Find<SettingsGrid>("vfgDatas")->IsEdited(kBacklightRow, 1));
}

TEST_F(WindowActions, ALostLinkIsReportedAndTheGridsMarkedNotLive) {
  ASSERT_NO_FATAL_FAILURE(Start(InstantRead));
  RunGet();
  EXPECT_TRUE(Find<QLabel>("lblNotLive")->isHidden());
  window_->Link().OnModemLinesChanged(false, false);
  EXPECT_TRUE(PaneLines().back().startsWith(QStringLiteral("The link to the instrument was lost.")));
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
  EXPECT_FALSE(Find<QLabel>("lblNotLive")->isHidden());
}

TEST_F(WindowActions, TheVerifyOptionIsKeptInTheConfigurationFile) {
  ASSERT_TRUE(Load());
  auto* verify = Find<QCheckBox>("chkVerify");
  ASSERT_TRUE(verify->isChecked()) << "on by default";
  verify->setChecked(false);
  EXPECT_FALSE(LoadConfiguration(DataFolder().string()).verifyAfterTransmit);
  window_.reset();
  ASSERT_TRUE(Load());
  EXPECT_FALSE(Find<QCheckBox>("chkVerify")->isChecked());
}

}  // namespace
}  // namespace kv
