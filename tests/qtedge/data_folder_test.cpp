#include "qtedge/data_folder.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>

namespace kv {
namespace {

// Sets an environment variable for one test and restores it afterwards.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const QByteArray& value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
    if (value.isNull()) {
      qunsetenv(name);
    } else {
      qputenv(name, value);
    }
  }
  ~ScopedVariable() {
    if (had_) {
      qputenv(name_, old_);
    } else {
      qunsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  bool had_;
  QByteArray old_;
};

TEST(DataDirOption, FindsTheOptionInEitherSpelling) {
  struct Case {
    QStringList arguments;
    QString expected;
  };
  const Case cases[] = {
      {{"KVMaintenance", "--data-dir", "/tmp/a"}, "/tmp/a"},
      {{"KVMaintenance", "--port", "/dev/x", "--data-dir=/tmp/b", "-LOG"}, "/tmp/b"},
      {{"KVMaintenance", "--data-dir"}, ""},
      {{"KVMaintenance", "--demo"}, ""},
      // The program's own path is never taken for the option.
      {{"--data-dir", "x"}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DataDirOption(c.arguments), c.expected) << c.arguments.join(' ').toStdString();
  }
}

class DataFolderTest : public ::testing::Test {
 protected:
  QTemporaryDir temp_;
  QString Path(const char* name) const { return temp_.filePath(QString::fromLatin1(name)); }
};

TEST_F(DataFolderTest, OptionBeatsVariableBeatsApplicationFolder) {
  const ScopedVariable dataHome("XDG_DATA_HOME", Path("xdg").toLocal8Bit());
  {
    const ScopedVariable home(kDataFolderVariable, Path("env").toLocal8Bit());
    EXPECT_EQ(ChooseDataFolder(Path("option")), Path("option"));
    EXPECT_EQ(ChooseDataFolder(QString()), Path("env"));
  }
  const ScopedVariable noHome(kDataFolderVariable, QByteArray());
  EXPECT_EQ(ChooseDataFolder(QString()), Path("xdg") + "/KVMaintenance");
}

TEST_F(DataFolderTest, RelativeOptionIsMadeAbsolute) {
  const QString chosen = ChooseDataFolder("some/relative/../dir");
  EXPECT_TRUE(QDir::isAbsolutePath(chosen));
  EXPECT_TRUE(chosen.endsWith("/some/dir")) << chosen.toStdString();
}

TEST_F(DataFolderTest, CreatesAMissingFolderOnFirstUse) {
  const QString nested = Path("a/b/c");
  const auto resolved = ResolveDataFolder(nested);
  ASSERT_TRUE(resolved.has_value());
  EXPECT_TRUE(std::filesystem::is_directory(*resolved));
  EXPECT_EQ(FromFsPath(*resolved), nested);
}

TEST_F(DataFolderTest, AFolderThatCannotBeCreatedGivesNothing) {
  QFile blocker(Path("plainfile"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_FALSE(ResolveDataFolder(Path("plainfile/sub")).has_value());
}

}  // namespace
}  // namespace kv
