// The window's Get and Transmit in the instrument history: each with the
// settings read or sent, the Transmit with its verification; a history that
// cannot be used is said in the pane and the Get still completes.
#include <gtest/gtest.h>

#include "app/grid_editor.h"
#include "app/settings_grid.h"
#include "files/kvd_reader.h"
#include "history/history_location.h"
#include "historydb/sql_store.h"
#include "support/temp_folder.h"
#include "window_on_sim.h"

namespace kv {
namespace {

constexpr int kBacklightRow = 14;  // "Other Setting"

class WindowHistory : public test::WindowOnSim {
 protected:
  std::vector<history::Event> Recorded() {
    history::StoreLocation location;
    location.kind = history::StoreKind::SQLite;
    location.path = dataDir_.filePath(QStringLiteral("History.sqlite")).toStdString();
    history::SqlStore store(location);
    std::string error;
    std::vector<history::Event> events = store.Events(std::nullopt, &error);
    EXPECT_EQ(error, "");
    return events;
  }
};

TEST_F(WindowHistory, GetAndTransmitAreRecordedWithTheirSettings) {
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  auto* grid = window_->findChild<SettingsGrid*>(QStringLiteral("vfgDatas"));
  ASSERT_TRUE(EnterText(*grid, kBacklightRow, 1, QStringLiteral("10")).accepted);
  dialogs_.reviews = {true};
  Click("cmdSend");

  const std::vector<history::Event> events = Recorded();
  ASSERT_EQ(events.size(), 2U);
  const history::Event& read = events[0];
  EXPECT_EQ(read.operation, history::kOpRead);
  EXPECT_EQ(read.result, "ok");
  EXPECT_FALSE(read.serial.empty());
  EXPECT_EQ(read.file, Backup(0).string());
  EXPECT_EQ(read.snapshot, testsupport::ReadBytes(Backup(0).string()));
  const history::Event& sent = events[1];
  EXPECT_EQ(sent.operation, history::kOpTransmit);
  EXPECT_EQ(sent.serial, read.serial);
  EXPECT_EQ(sent.detail, "wrote 1 setting in 2 groups (2 lines); verified");
  clsInstrument fromSnapshot;
  ASSERT_TRUE(ReadMaintenanceText(fromSnapshot, sent.snapshot).complete);
  EXPECT_EQ(fromSnapshot.LcdBackLight(), 10);
}

TEST_F(WindowHistory, AHistoryThatCannotBeOpenedIsSaidAndTheGetCompletes) {
  const std::string missing = dataDir_.filePath(QStringLiteral("gone/h.sqlite")).toStdString();
  testsupport::WriteBytes(dataDir_.filePath(QStringLiteral("KVMaintenance.ini")).toStdString(),
                          "[History]\r\nDatabase=" + missing + "\r\n");
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  EXPECT_TRUE(std::filesystem::exists(Backup(0)));
  const QStringList lines = PaneLines();
  EXPECT_TRUE(lines.contains(QStringLiteral("KORVIN Instrument Information Download Complete.")));
  EXPECT_TRUE(lines.contains(QString::fromStdString("history not recorded: cannot open the history database " +
                                                    missing + ": the folder " +
                                                    std::filesystem::path(missing).parent_path().string() +
                                                    " does not exist")))
      << lines.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace kv
