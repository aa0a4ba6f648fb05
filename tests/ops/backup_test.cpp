// The backups a read keeps: the window's dated series and station mode's
// series per instrument.
#include "ops/backup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "files/backup_name.h"
#include "support/sample_record.h"
#include "support/temp_folder.h"

namespace kv::ops {
namespace {

const DateTime kDay{2026, 3, 5, 14, 7, 9};

struct SerialName {
  const char* serial;
  const char* first;
  const char* second;
};

class InstrumentBackupNames : public ::testing::TestWithParam<SerialName> {};

TEST_P(InstrumentBackupNames, NameTheInstrumentAndNeverLeaveTheFolder) {
  const std::vector<std::string> paths = InstrumentBackupPaths("/data/Backup", kDay, GetParam().serial);
  ASSERT_EQ(paths.size(), static_cast<std::size_t>(kBackupNamesPerDay));
  EXPECT_EQ(paths[0], std::string("/data/Backup/") + GetParam().first);
  EXPECT_EQ(paths[1], std::string("/data/Backup/") + GetParam().second);
  for (const std::string& path : paths) EXPECT_EQ(std::filesystem::path(path).parent_path(), "/data/Backup");
}

INSTANTIATE_TEST_SUITE_P(
    Serials, InstrumentBackupNames,
    ::testing::Values(SerialName{"KV-2001", "20260305_KV-2001.kvd", "20260305_KV-2001_1.kvd"},
                      SerialName{"../x/y", "20260305_.._x_y.kvd", "20260305_.._x_y_1.kvd"},
                      SerialName{"", "20260305_noserial.kvd", "20260305_noserial_1.kvd"},
                      SerialName{"A B", "20260305_A_B.kvd", "20260305_A_B_1.kvd"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(InstrumentBackupTest, MoreThanADaysDatedNamesFitWhenEachInstrumentHasItsOwn) {
  testsupport::TempFolder folder{"kv_backups"};
  const clsInstrument record = testsupport::SampleRecord();
  std::set<std::string> written;
  for (int unit = 0; unit < kBackupNamesPerDay + 5; ++unit) {
    const BackupResult backup =
        WriteBackup(record, InstrumentBackupPaths(folder.Dir(), kDay, "KV-" + std::to_string(unit)));
    ASSERT_TRUE(backup.error.empty()) << unit << ": " << backup.error;
    written.insert(backup.path);
  }
  EXPECT_EQ(written.size(), static_cast<std::size_t>(kBackupNamesPerDay + 5));
  // The window's own series of the day is untouched.
  const BackupResult dated = WriteDatedBackup(record, folder.Dir(), kDay);
  EXPECT_EQ(dated.path, (folder.Dir() / BackupFileName(kDay, 0)).string());
}

}  // namespace
}  // namespace kv::ops
