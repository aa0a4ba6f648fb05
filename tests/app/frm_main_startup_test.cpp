// The main window's start-up, first activation, buttons, link events and closing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <fstream>

#include "app/settings_grid.h"
#include "main_window_fixture.h"

namespace kv {
namespace {

using test::MainWindowFixture;

class MainWindowStartUp : public MainWindowFixture {};

TEST_F(MainWindowStartUp, LoadSetsUpLinkPortLogAndCaption) {
  {
    std::ofstream old(DataFolder() / "SerialLog.log");
    old << "entry of an earlier session\n";
  }
  ASSERT_TRUE(Load());
  EXPECT_EQ(window_->windowTitle(), "KORVIN Maintenance Data Loader [P.No.05121]");
  EXPECT_EQ(window_->Link().Retry(), 3);
  EXPECT_EQ(window_->Link().Timeout(), 3);
  EXPECT_TRUE(window_->Link().SerialComm());
  EXPECT_TRUE(transport_.IsOpen());
  EXPECT_TRUE(transport_.dtr);
  EXPECT_TRUE(transport_.rts);
  EXPECT_EQ(transport_.Handshaking(), 2);
  EXPECT_EQ(transport_.Settings(), "921600,n,8,1");
  EXPECT_TRUE(std::filesystem::exists(DataFolder() / "KVMaintenance.ini"));
  // The old session log is gone; the new one traces the port coming up.
  const std::string log = SessionLog();
  EXPECT_EQ(log.find("earlier session"), std::string::npos);
  EXPECT_NE(log.find("KORVIN ...Conneted. Date = 2026/03/07 10:00:00"), std::string::npos) << log;
}

TEST_F(MainWindowStartUp, ASecondInstanceOnTheSameDataFolderIsRefused) {
  ASSERT_TRUE(Load());
  struct Case {
    const char* what;
    bool sameFolder;
    bool starts;
  };
  QTemporaryDir otherFolder;
  for (const Case c : {Case{"same folder", true, false}, Case{"other folder", false, true}}) {
    test::ScriptedDialogs dialogs;
    test::FakeTransport transport;
    ManualClock clock;
    frmMainServices services;
    services.dataFolder = c.sameFolder ? DataFolder() : std::filesystem::path(otherFolder.path().toStdString());
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.transport = &transport;
    services.runTicker = false;
    frmMain second(std::move(services));
    EXPECT_EQ(second.Form_Load(), c.starts) << c.what;
    if (c.starts) {
      EXPECT_TRUE(dialogs.calls.empty()) << c.what;
      continue;
    }
    ASSERT_EQ(dialogs.calls.size(), 1u) << c.what;
    EXPECT_EQ(dialogs.calls[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(dialogs.calls[0].title, "KORVIN  - Data Logger Management Program");
    EXPECT_EQ(dialogs.calls[0].text, "It has already started.");
    EXPECT_FALSE(transport.IsOpen()) << "a refused instance must not take the port";
  }
}

TEST_F(MainWindowStartUp, APortThatDoesNotOpenSaysWhyInThePane) {
  const struct {
    OpenFailure failure;
    const char* line;
  } kCases[] = {
      {OpenFailure::PermissionDenied,
       "cannot open the port /dev/ttyUSB0: permission denied (add yourself with: sudo usermod -aG "
       "dialout $USER, then log in again)"},
      {OpenFailure::NoSuchDevice, "cannot open the port /dev/ttyUSB0: no such device"},
  };
  for (const auto& c : kCases) {
    transport_.openable = false;
    transport_.refusal = c.failure;
    ASSERT_TRUE(Load()) << "the window still starts";
    EXPECT_EQ(PaneLines(), QStringList{QString::fromLatin1(c.line)});
    EXPECT_EQ(ColourOfLine(QString::fromLatin1(c.line)), info_colour::kFailure);
    window_.reset();
  }
}

TEST_F(MainWindowStartUp, ConfiguredFontReachesTheWindowAndEveryGrid) {
  {
    std::ofstream ini(DataFolder() / "KVMaintenance.ini");
    ini << "[Font]\r\nName=Liberation Serif\r\nSize=12\r\nBold=True\r\n";
  }
  ASSERT_TRUE(Load());
  EXPECT_EQ(window_->font().family(), "Liberation Serif");
  const QList<SettingsGrid*> grids = window_->findChildren<SettingsGrid*>();
  ASSERT_EQ(grids.size(), 12);  // the alarm-level grid included
  for (const SettingsGrid* grid : grids) {
    EXPECT_EQ(grid->font().family(), "Liberation Serif") << grid->objectName().toStdString();
    EXPECT_DOUBLE_EQ(grid->font().pointSizeF(), 12.0) << grid->objectName().toStdString();
    EXPECT_TRUE(grid->font().bold()) << grid->objectName().toStdString();
  }
}

// A configuration file of NULs (a power loss while it was written): the
// user's file is kept aside, the window starts with the defaults and says so.
TEST_F(MainWindowStartUp, ADamagedConfigurationIsKeptAsideAndSaidInRed) {
  const std::string damaged(32, '\0');
  {
    std::ofstream ini(DataFolder() / "KVMaintenance.ini", std::ios::binary);
    ini << damaged;
  }
  ASSERT_TRUE(Load());
  const std::string path = (DataFolder() / "KVMaintenance.ini").string();
  const std::filesystem::path keptAs = path + ".corrupt-20260307-100000";  // the fixture's clock
  EXPECT_TRUE(PaneLines().join(QLatin1Char('\n'))
                  .contains(QString::fromStdString("The configuration file " + path +
                                                   " was damaged (line 1: a control byte, no text): it is kept as " +
                                                   keptAs.string() + " and the default settings are used.")))
      << PaneLines().join(QLatin1Char('\n')).toStdString();
  std::ifstream kept(keptAs, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), damaged);
  std::ifstream replaced(path, std::ios::binary);
  std::string firstLine;
  std::getline(replaced, firstLine);
  EXPECT_EQ(firstLine, "[Communication]\r");
}

TEST_F(MainWindowStartUp, DefaultArialFallsBackToAMetricCompatibleFace) {
  if (QFontDatabase::families().contains(QStringLiteral("Arial"))) {
    GTEST_SKIP() << "Arial is installed here";
  }
  if (!QFontDatabase::families().contains(QStringLiteral("Liberation Sans"))) {
    GTEST_SKIP() << "Liberation Sans is not installed here";
  }
  ASSERT_TRUE(Load());
  EXPECT_EQ(window_->font().family(), "Arial");
  EXPECT_EQ(QFontInfo(window_->font()).family(), "Liberation Sans");
  EXPECT_DOUBLE_EQ(window_->font().pointSizeF(), 9.0);
}

TEST_F(MainWindowStartUp, HasEveryNamedControlWithItsCaption) {
  ASSERT_TRUE(Load());
  for (const char* name :
       {"txtPath", "cmdStore", "chkFactorySave", "rtbInfo", "vfgDatas", "vfgGasName", "vfgChannel",
        "vfgOtherSet", "vfgME", "vfgStation", "vfgUser", "vfgPreConv", "vfgUserConv", "vfgPID0",
        "vfgPID1", "txtCount", "sstUser", "SSTab1", "SSTab2", "SSTab3", "lblName", "lblMap",
        "lblElimination", "lblOther", "lblStation", "lblUser"}) {
    EXPECT_NE(Find<QWidget>(name), nullptr) << name;
  }
  const std::pair<const char*, const char*> captions[] = {
      {"cmdGet", "1. Get Current KORVIN Data"},
      {"cmdLoad", "2. Select Distributed File      "},
      {"cmdSend", "3. Transmit            New Data"},
      {"cmdPowerOff", "4. Power          OFF"},
      {"cmdEnd", "Exit"},
  };
  for (const auto& [name, caption] : captions) {
    QPushButton* button = Find<QPushButton>(name);
    ASSERT_NE(button, nullptr) << name;
    EXPECT_EQ(button->text().toStdString(), caption);
  }
  EXPECT_EQ(Find<QWidget>("vfgPID1")->property("index").toInt(), 1);
  EXPECT_EQ(Find<QTabWidget>("SSTab3")->tabText(0), "High Range");
  EXPECT_EQ(Find<QTabWidget>("SSTab2")->tabText(1), "User Defined Table");
}

TEST_F(MainWindowStartUp, FitsASmallLaptopScreen) {
  ASSERT_TRUE(Load());
  const QSize minimum = window_->minimumSizeHint();
  EXPECT_LE(minimum.width(), 1366);
  EXPECT_LE(minimum.height(), 700) << "room for a title bar and a task bar";
}

TEST_F(MainWindowStartUp, FirstActivationFillsTheGridsOnce) {
  ASSERT_TRUE(Load());
  EXPECT_FALSE(window_->Activated());
  window_->show();
  EXPECT_TRUE(window_->Activated());
  EXPECT_EQ(Find<QCheckBox>("chkFactorySave")->text(), "Save as default instrument settings.");
  EXPECT_FALSE(Find<QCheckBox>("chkFactorySave")->isChecked());
  EXPECT_TRUE(Find<QLineEdit>("txtPath")->text().isEmpty());
  SettingsGrid* datas = Find<SettingsGrid>("vfgDatas");
  EXPECT_EQ(datas->Text(6, 1), "90") << "the empty record's calibration limit";
  EXPECT_EQ(Find<SettingsGrid>("vfgPID1")->Rows(), 18) << "filled last";
  EXPECT_NE(SessionLog().find("Serial Port Standby. Date = 2026/03/07 10:00:00"), std::string::npos);

  // Activating again keeps what the user has typed.
  datas->model()->setData(datas->Index(6, 1), QStringLiteral("30"));
  window_->hide();
  window_->show();
  EXPECT_EQ(datas->Text(6, 1), "30");
}

TEST_F(MainWindowStartUp, SetButtonsEnablesByLevel) {
  struct Case {
    bool enable;
    int level;
    bool get, load, send, powerOff;
  };
  // Starting from the design state (only Select enabled) each time.
  const Case cases[] = {
      {true, 0, true, true, false, true},
      {true, 1, true, true, true, true},
      {true, 2, true, true, true, true},
      {false, 2, false, false, false, false},
  };
  // No instrument answers: the buttons stay as SetButtons leaves them.
  transport_.answersProbe = false;
  for (const Case& c : cases) {
    ASSERT_TRUE(Load());
    EXPECT_FALSE(Find<QPushButton>("cmdGet")->isEnabled()) << "design state";
    window_->SetButtons(c.enable, c.level);
    const std::string what = std::to_string(c.enable) + "/" + std::to_string(c.level);
    EXPECT_EQ(Find<QPushButton>("cmdGet")->isEnabled(), c.get) << what;
    EXPECT_EQ(Find<QPushButton>("cmdLoad")->isEnabled(), c.load) << what;
    EXPECT_EQ(Find<QPushButton>("cmdSend")->isEnabled(), c.send) << what;
    EXPECT_EQ(Find<QPushButton>("cmdPowerOff")->isEnabled(), c.powerOff) << what;
    EXPECT_TRUE(Find<QPushButton>("cmdEnd")->isEnabled()) << what;
    window_.reset();
  }
}

TEST_F(MainWindowStartUp, LinkEventsShowInTheInformationPane) {
  ASSERT_NO_FATAL_FAILURE(Start());
  // The probe was answered: connected, Get and Power OFF usable.
  EXPECT_EQ(PaneLines().value(0), "KORVIN ...Connection Successful.");
  EXPECT_EQ(ColourOfLine("KORVIN ...Connection Successful."), QColor(0, 0, 255));
  EXPECT_TRUE(Find<QPushButton>("cmdGet")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("cmdPowerOff")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>("cmdSend")->isEnabled());

  LinkListener& events = window_->Link().Events();
  events.ConnectRetry(2);
  EXPECT_EQ(PaneLines().back(), "Connect Sequence KORVIN...(2)");
  EXPECT_EQ(LastLineColour(), QColor(0, 192, 0));
  events.InstMessage("message from the record");
  EXPECT_EQ(PaneLines().back(), "message from the record");
  EXPECT_EQ(LastLineColour(), QColor(0, 0, 192));
  events.AlarmMessage("KORVIN No Response. Check Port,Cable And Power.\r\n");
  EXPECT_EQ(ColourOfLine("KORVIN No Response. Check Port,Cable And Power."), QColor(0, 0, 192));

  events.LinkLost();
  for (const char* name : {"cmdGet", "cmdLoad", "cmdSend", "cmdPowerOff"}) {
    EXPECT_FALSE(Find<QPushButton>(name)->isEnabled()) << name;
  }
  EXPECT_TRUE(Find<QPushButton>("cmdEnd")->isEnabled());
}

TEST_F(MainWindowStartUp, ClosingAsksExitAndStopsTheLink) {
  ASSERT_NO_FATAL_FAILURE(Start());
  dialogs_.answers = {false, true};
  EXPECT_FALSE(window_->close()) << "answered No";
  EXPECT_TRUE(window_->isVisible());
  EXPECT_TRUE(window_->Link().TimerEnabled());
  EXPECT_TRUE(window_->close()) << "answered Yes";
  ASSERT_EQ(dialogs_.calls.size(), 2u);
  EXPECT_EQ(dialogs_.calls[0].icon, Dialogs::Icon::None);
  EXPECT_EQ(dialogs_.calls[0].title, "KORVIN Maintenance Data Loader");
  EXPECT_EQ(dialogs_.calls[0].text, "EXIT ?");
  EXPECT_FALSE(window_->Link().TimerEnabled());
}

TEST_F(MainWindowStartUp, ClosingIsRefusedWithoutAskingWhileExitIsDisabled) {
  ASSERT_NO_FATAL_FAILURE(Start());
  window_->SetEndButton(false);
  EXPECT_FALSE(Find<QPushButton>("cmdEnd")->isEnabled());
  EXPECT_FALSE(window_->close());
  EXPECT_TRUE(dialogs_.calls.empty());
  window_->SetEndButton(true);
  dialogs_.answers = {true};
  EXPECT_TRUE(window_->close());
}

}  // namespace
}  // namespace kv
