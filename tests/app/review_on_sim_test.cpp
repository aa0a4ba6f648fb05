// The review before Transmit of a distributed file on the simulated
// instrument: only the settings that change are shown, the rest behind a
// count, and each change reads as kvmaint diff prints it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTableWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "app/review_dialog.h"
#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "kvmaint/harness/kvmaint_run.h"
#include "support/run_checks.h"
#include "window_on_sim.h"

namespace kv {
namespace {

class ReviewOnSim : public test::WindowOnSim {
 protected:
  // The instrument as the Get read it, with six settings changed, as a file.
  std::string DistributedFile() {
    clsInstrument record;
    EXPECT_TRUE(ReadMaintenanceFile(record, Backup(0).string()).complete);
    EXPECT_TRUE(record.SetWarning(3, record.Warning(3) + 5.0f));
    EXPECT_TRUE(record.SetXZ_(1, "Q.TESTER"));
    EXPECT_TRUE(record.SetXS_(2, "DOCK"));
    record.SetLcdBackLight(static_cast<Integer>(record.LcdBackLight() + 7));
    record.SetLcdContrast(static_cast<Integer>(record.LcdContrast() == 9 ? 10 : 9));
    EXPECT_TRUE(record.SetGasName(4, "CO3"));
    const std::string path = dataDir_.filePath(QStringLiteral("distributed.kvd")).toStdString();
    EXPECT_TRUE(WriteMaintenanceFile(record, path).ok);
    return path;
  }

  // Selects the file and cancels the review; what the review listed.
  std::vector<ReviewLine> ReviewOf(const std::string& file) {
    dialogs_.files = {QString::fromStdString(file)};
    window_->findChild<QPushButton*>(QStringLiteral("cmdLoad"))->click();
    dialogs_.reviews = {false};
    window_->findChild<QPushButton*>(QStringLiteral("cmdSend"))->click();
    EXPECT_EQ(dialogs_.reviewed.size(), 1u);
    return dialogs_.reviewed.empty() ? std::vector<ReviewLine>{} : dialogs_.reviewed[0];
  }
};

TEST_F(ReviewOnSim, ADistributedFileShowsItsSixChangesAndCountsTheRest) {
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  const std::vector<ReviewLine> lines = ReviewOf(DistributedFile());
  const auto changed = std::count_if(lines.begin(), lines.end(),
                                     [](const ReviewLine& line) { return !line.unchanged; });
  ASSERT_EQ(changed, 6);
  const int hidden = static_cast<int>(lines.size()) - 6;
  ASSERT_GT(hidden, 0) << "the file writes every setting it holds";

  ReviewDialog dialog(QStringLiteral("Update"), QStringLiteral("Update Ready?"), lines);
  EXPECT_EQ(dialog.VisibleRows(), 6);
  ASSERT_NE(dialog.ShowUnchanged(), nullptr);
  EXPECT_EQ(dialog.ShowUnchanged()->text(), QStringLiteral("%1 unchanged, show them").arg(hidden));
  for (int row = 0; row < dialog.Table()->rowCount(); ++row) {
    if (dialog.Table()->isRowHidden(row)) continue;
    EXPECT_NE(dialog.Table()->item(row, 1)->text(), dialog.Table()->item(row, 2)->text())
        << dialog.Table()->item(row, 0)->text().toStdString();
  }
  dialog.ShowUnchanged()->setChecked(true);
  EXPECT_EQ(dialog.VisibleRows(), static_cast<int>(lines.size()));
}

TEST_F(ReviewOnSim, EachChangeReadsAsKvmaintDiffPrintsIt) {
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  const std::string file = DistributedFile();
  std::vector<std::string> reviewed;
  for (const ReviewLine& line : ReviewOf(file)) {
    if (line.unchanged) continue;
    reviewed.push_back((line.name + QStringLiteral(": ") + line.oldValue + QStringLiteral(" -> ") +
                        line.newValue)
                           .toStdString());
  }
  const inproc::ProgramResult diff = inproc::Kvmaint({"diff", Backup(0).string(), file});
  ASSERT_EQ(diff.exitCode, 1) << diff.err;
  std::vector<std::string> printed = testsupport::Lines(diff.out);
  std::sort(reviewed.begin(), reviewed.end());
  std::sort(printed.begin(), printed.end());
  EXPECT_EQ(reviewed, printed);
  // Names from the record's rows, levels with the channel's unit.
  EXPECT_NE(std::find_if(reviewed.begin(), reviewed.end(),
                         [](const std::string& line) {
                           return line.starts_with("CO warning level: ") &&
                                  line.find(" ppm -> ") != std::string::npos && line.ends_with(" ppm");
                         }),
            reviewed.end());
  EXPECT_NE(std::find_if(reviewed.begin(), reviewed.end(),
                         [](const std::string& line) {
                           return line.starts_with("User 2: ") && line.ends_with(" -> Q.TESTER");
                         }),
            reviewed.end());
}

}  // namespace
}  // namespace kv
