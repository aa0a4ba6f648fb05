// The Service menu against the simulated instrument in process: every entry
// reaches it (its trace of received lines shows the command), a destructive entry
// only after Yes, results with data come as a table named by gas.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QPushButton>

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string_view>
#include <vector>

#include "app/service_menu.h"
#include "app/upload_dialog.h"
#include "rules/edit_check.h"
#include "rules/setting_names.h"
#include "window_on_sim.h"

namespace kv {
namespace {

struct ServiceCase {
  const char* action;        // the QAction's objectName
  const char* sentLine;      // what the simulator's trace shows as received
  bool destructive;          // asks first
  QStringList texts;         // answers to the entry's text prompts
  const char* file;          // the file a dump is saved to ("" none)
  std::uintmax_t fileSize;   // its expected size (0: not checked)
  bool showsTable;           // results per channel in a table
};

void PrintTo(const ServiceCase& c, std::ostream* out) { *out << c.action; }

const ServiceCase kServiceCases[] = {
    {"mnuServiceSetClock", "> HC,W,", false, {}, "", 0, false},
    {"mnuServiceZero", "> SZ,W,", true, {}, "", 0, true},
    {"mnuServiceSpan", "> S2,W,", true, {}, "", 0, true},
    {"mnuServiceClearLog", "> XC,E,", true, {}, "", 0, false},
    {"mnuServiceFactoryReset", "> UP,W,", true, {}, "", 0, false},
    {"mnuServiceLoadDefaults", "> UX,W,A", true, {QStringLiteral("10")}, "", 0, false},
    {"mnuServicePumpOn", "> BP,W,1", false, {}, "", 0, false},
    {"mnuServicePumpOff", "> BP,W,0", false, {}, "", 0, false},
    {"mnuServiceCalHistory", "> SO,R,0", false, {}, "", 0, true},
    {"mnuServiceInit", "> XC,E,", true, {}, "", 0, false},
    {"mnuServiceDumpFlash", "> EP,R,", false, {}, "flash.bin", kFlashImageSize, false},
    {"mnuServiceDumpFram", "> EF,R,", false, {}, "fram.bin", kFramImageSize, false},
    {"mnuServiceDumpListing", "> ES,R,", false, {QStringLiteral("ES")}, "es.txt", 0, false},
    {"mnuServiceDumpModule", "MM,", false,
     {QStringLiteral("3"), QStringLiteral("MD"), QStringLiteral("64")}, "module.bin", 64, false},
};

class ServiceMenuOnSim : public test::TracedWindowOnSim,
                           public ::testing::WithParamInterface<ServiceCase> {
 protected:
  // Script the prompts and the dump file of `c`; returns the file's path.
  std::string Script(const ServiceCase& c) {
    for (const QString& text : c.texts) dialogs_.texts.push_back(text);
    if (*c.file == '\0') return {};
    const QString path = dataDir_.filePath(QString::fromLatin1(c.file));
    dialogs_.files.push_back(path);
    return path.toStdString();
  }

};

TEST_P(ServiceMenuOnSim, YesSendsTheCommandAndReportsTheOutcome) {
  const ServiceCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(StartTraced());
  // A read first: the table must show the gas names it reads, and an
  // initialisation writes back the settings the window shows.
  if (c.showsTable || std::string_view(c.action) == "mnuServiceInit") {
    ASSERT_NO_FATAL_FAILURE(RunGet());
  }
  const std::string file = Script(c);
  if (c.destructive) dialogs_.answers.push_back(true);
  QAction* action = Action(c.action);
  ASSERT_NE(action, nullptr);
  ASSERT_TRUE(action->isEnabled());
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  action->trigger();
  // While it runs, no other entry can start.
  EXPECT_FALSE(Action("mnuServicePumpOn")->isEnabled());
  ASSERT_TRUE(WaitFor([&] { return !finished.isEmpty(); }, 90000)) << c.action << " did not end";
  EXPECT_TRUE(finished.front().front().toBool()) << LastPaneLine().toStdString();
  EXPECT_TRUE(Trace().contains(QString::fromLatin1(c.sentLine))) << Trace().toStdString();
  EXPECT_TRUE(LastPaneLine().contains(QStringLiteral("finished"))) << LastPaneLine().toStdString();
  EXPECT_EQ(LastLineColour(), QColor(0, 192, 0));
  EXPECT_TRUE(action->isEnabled());
  if (c.destructive) {
    const auto asked = std::find_if(dialogs_.calls.begin(), dialogs_.calls.end(),
                                    [](const auto& call) { return call.kind == "ask"; });
    ASSERT_NE(asked, dialogs_.calls.end());
    EXPECT_TRUE(asked->text.contains(QStringLiteral("Continue?"))) << asked->text.toStdString();
  }
  const auto entry = std::find_if(ServiceEntries().begin(), ServiceEntries().end(),
                                  [&c](const ServiceEntry& e) { return e.objectName == std::string_view(c.action); });
  ASSERT_NE(entry, ServiceEntries().end());
  // The progress dialog was shown for a long one, and only for a long one.
  const bool progressShown =
      window_->UploadDialog() != nullptr &&
      window_->UploadDialog()->windowTitle() ==
          QString::fromLatin1(entry->caption).remove(QStringLiteral("..."));
  EXPECT_EQ(progressShown, entry->longRunning);
  if (!file.empty()) {
    ASSERT_TRUE(std::filesystem::exists(file));
    if (c.fileSize != 0) {
      EXPECT_EQ(std::filesystem::file_size(file), c.fileSize);
    }
  }
  if (c.showsTable) {
    ASSERT_EQ(dialogs_.tables.size(), 1U);
    const auto& rows = dialogs_.tables.front().rows;
    ASSERT_EQ(rows.size(), 7U);
    // The channels are named by their gas as the grids name it (the fixed sensors "OXY" ...).
    for (int channel = 0; channel < 7; ++channel) {
      EXPECT_EQ(rows[static_cast<std::size_t>(channel)][1].toStdString(),
                rules::GridGasName(window_->CurInstrument(), channel))
          << "channel " << channel;
    }
    // The calibration dates as the instrument keeps them (kept for the
    // report too), "never" for a channel it never calibrated.
    if (std::string_view(c.action) == "mnuServiceCalHistory") {
      for (int channel = 0; channel < 7; ++channel) {
        const std::string shown = rows[static_cast<std::size_t>(channel)][2].toStdString();
        EXPECT_EQ(shown, rules::CalibrationDateText(window_->CurInstrument().CalibDate(channel)));
        EXPECT_EQ(shown.rfind("1899", 0), std::string::npos) << "channel " << channel;
      }
    }
  } else {
    EXPECT_TRUE(dialogs_.tables.empty());
  }
}

TEST_F(ServiceMenuOnSim, CancelEndsAFlashDumpAndSaysSo) {
  // Paced like the adapter's line: the 4 MiB take long enough to cancel.
  ASSERT_NO_FATAL_FAILURE(Start({QStringLiteral("--baud"), QStringLiteral("921600")}));
  const std::string file = dataDir_.filePath(QStringLiteral("flash.bin")).toStdString();
  dialogs_.files.push_back(QString::fromStdString(file));
  QSignalSpy finished(window_.get(), &frmMain::TransactionFinished);
  Action("mnuServiceDumpFlash")->trigger();
  frmUpload* progress = window_->UploadDialog();
  ASSERT_NE(progress, nullptr);
  ASSERT_TRUE(WaitFor([progress] { return progress->ProgressBar()->value() > 0; }, 10000));
  progress->CancelButton()->click();
  // The rest of the stream is drained for up to 10 s first.
  ASSERT_TRUE(WaitFor([&] { return !finished.isEmpty(); }, 20000));
  EXPECT_FALSE(finished.front().front().toBool());
  const QStringList lines = PaneLines();
  ASSERT_GE(lines.size(), 3);
  EXPECT_EQ(lines[lines.size() - 3], QStringLiteral("Dump Flash Image canceled."));
  // How much of the file is the instrument's, and what to do about a line
  // that goes on streaming (4 MiB at 921600 baud take 45 s).
  EXPECT_TRUE(lines[lines.size() - 2].contains(QStringLiteral(" of 4194304 bytes; the rest is 0xFF")))
      << lines[lines.size() - 2].toStdString();
  EXPECT_TRUE(lines.back().contains(QStringLiteral("switch it off and on"))) << lines.back().toStdString();
  EXPECT_EQ(LastLineColour(), QColor(255, 0, 0));
  EXPECT_TRUE(Action("mnuServiceDumpFlash")->isEnabled());
}

// The entries that destroy something on the instrument.
std::vector<ServiceCase> DestructiveCases() {
  std::vector<ServiceCase> cases;
  std::copy_if(std::begin(kServiceCases), std::end(kServiceCases), std::back_inserter(cases),
               [](const ServiceCase& c) { return c.destructive; });
  return cases;
}

using DestructiveServiceEntry = ServiceMenuOnSim;

TEST_P(DestructiveServiceEntry, NoSendsNothing) {
  const ServiceCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(StartTraced());
  Script(c);
  dialogs_.answers.push_back(false);
  const QStringList before = PaneLines();
  Action(c.action)->trigger();
  // Whatever would have been sent has had time to reach the simulator.
  Pass(1500);
  EXPECT_FALSE(Trace().contains(QString::fromLatin1(c.sentLine))) << Trace().toStdString();
  EXPECT_EQ(PaneLines(), before);
  EXPECT_FALSE(window_->Busy());
}

std::string CaseName(const ::testing::TestParamInfo<ServiceCase>& info) {
  return std::string(info.param.action).substr(std::string_view("mnuService").size());
}

INSTANTIATE_TEST_SUITE_P(EveryEntry, ServiceMenuOnSim, ::testing::ValuesIn(kServiceCases),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Destructive, DestructiveServiceEntry,
                         ::testing::ValuesIn(DestructiveCases()), CaseName);

}  // namespace
}  // namespace kv
