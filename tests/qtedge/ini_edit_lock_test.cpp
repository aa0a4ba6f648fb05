// Two programs changing KVMaintenance.ini at the same time: each reads the
// file, sets its key and writes the file back whole. Under the edit lock
// they take turns, so neither writes back a file without the other's keys.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>
#include <thread>

#include "files/configuration.h"
#include "files/ini_file.h"
#include "qtedge/file_edit_lock.h"

namespace kv {
namespace {

constexpr int kEditsPerWriter = 40;

void Writer(const std::string& path, const std::string& name, std::string* failure) {
  for (int i = 0; i < kEditsPerWriter; ++i) {
    const std::string key = name + std::to_string(i);
    const auto edit = [&](std::string* why) { return WriteProfileString("Test", key, "1", path, why); };
    std::string error;
    if (!EditLocked(path, edit, &error)) {
      *failure = key + ": " + error;
      return;
    }
  }
}

TEST(IniEditLock, TwoWritersAtOnceKeepEveryKey) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::string path = ConfigurationPath(folder.path().toStdString());
  std::string error;
  ASSERT_TRUE(WriteDefaultConfiguration(path, &error)) << error;

  std::string failureA;
  std::string failureB;
  std::thread a(Writer, path, "A", &failureA);
  std::thread b(Writer, path, "B", &failureB);
  a.join();
  b.join();
  EXPECT_EQ(failureA, "");
  EXPECT_EQ(failureB, "");

  const auto file = IniFile::Load(path);
  ASSERT_TRUE(file.has_value());
  for (const char* writer : {"A", "B"}) {
    for (int i = 0; i < kEditsPerWriter; ++i) {
      const std::string key = writer + std::to_string(i);
      EXPECT_EQ(file->Get("Test", key, "lost"), "1") << key;
    }
  }
}

}  // namespace
}  // namespace kv
