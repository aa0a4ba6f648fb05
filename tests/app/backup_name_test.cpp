#include "files/backup_name.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

namespace kv {
namespace {

void Touch(const std::filesystem::path& path) { std::ofstream(path) << "x"; }

class BackupNameTest : public ::testing::Test {
 protected:
  std::filesystem::path Folder() const { return temp_.path().toStdString(); }
  QTemporaryDir temp_;
  const DateTime day_{2026, 3, 7, 23, 59, 58};
};

TEST_F(BackupNameTest, NamesTheDayThenNumbersIt) {
  EXPECT_EQ(BackupFileName(day_, 0), "20260307.kvd");
  EXPECT_EQ(BackupFileName(day_, 1), "20260307_1.kvd");
  EXPECT_EQ(BackupFileName(day_, 99), "20260307_99.kvd");
}

TEST_F(BackupNameTest, TakesTheFirstFreeNameOfTheSeries) {
  EXPECT_EQ(NextBackupPath(Folder(), day_), Folder() / "20260307.kvd");
  Touch(Folder() / "20260307.kvd");
  EXPECT_EQ(NextBackupPath(Folder(), day_), Folder() / "20260307_1.kvd");
  // A gap is filled before the end of the series is extended.
  Touch(Folder() / "20260307_2.kvd");
  EXPECT_EQ(NextBackupPath(Folder(), day_), Folder() / "20260307_1.kvd");
  // Another day's files do not count.
  EXPECT_EQ(NextBackupPath(Folder(), DateTime{2026, 3, 8, 0, 0, 0}), Folder() / "20260308.kvd");
}

TEST_F(BackupNameTest, AllHundredNamesTakenGivesNoName) {
  for (int number = 0; number < kBackupNamesPerDay; ++number) {
    Touch(Folder() / BackupFileName(day_, number));
  }
  EXPECT_FALSE(NextBackupPath(Folder(), day_).has_value());
}

}  // namespace
}  // namespace kv
