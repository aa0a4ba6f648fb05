#include "files/ini_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace kv {
namespace {

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

const std::string kText =
    "; site settings\r\n"
    "[Communication]\r\n"
    "Setting = TRUE,4,115200,E,8,1 \r\n"
    "Quoted=\"  spaced  \"\r\n"
    "\r\n"
    "[Font]\n"
    "Name=Courier New\n"
    "Other=kept\r\n";

TEST(IniFile, LooksUpSectionsAndKeysInAnyCase) {
  const IniFile file = IniFile::Parse(kText);
  struct Case {
    const char* section;
    const char* key;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"Communication", "Setting", "TRUE,4,115200,E,8,1"},
      {"COMMUNICATION", "setting", "TRUE,4,115200,E,8,1"},
      {"font", "NAME", "Courier New"},
      {"Communication", "Quoted", "  spaced  "},   // quotes removed, inside kept
      {"Font", "Setting", "default"},              // the key lives in another section
      {"Missing", "Name", "default"},
      {"Font", "Size", "default"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(file.Get(c.section, c.key, "default"), c.expected) << c.section << "/" << c.key;
  }
}

TEST(IniFile, ValuesAreCutAt255Characters) {
  const IniFile file = IniFile::Parse("[A]\r\nLong=" + std::string(300, 'x') + "\r\n");
  EXPECT_EQ(file.Get("A", "Long", ""), std::string(255, 'x'));
  EXPECT_EQ(file.Get("A", "Missing", std::string(300, 'y')), std::string(255, 'y'));
}

TEST(IniFile, UpdatesInPlaceKeepingEveryOtherLine) {
  IniFile file = IniFile::Parse(kText);
  file.Set("communication", "Setting", "FALSE,1,9600,N,8,1");
  file.Set("Communication", "Retry", "5");  // new key: end of its section
  file.Set("Extra", "Key", "v");             // new section: end of the file
  EXPECT_EQ(file.Text(),
            "; site settings\r\n"
            "[Communication]\r\n"
            "Setting=FALSE,1,9600,N,8,1\r\n"
            "Quoted=\"  spaced  \"\r\n"
            "Retry=5\r\n"
            "\r\n"
            "[Font]\r\n"
            "Name=Courier New\r\n"
            "Other=kept\r\n"
            "[Extra]\r\n"
            "Key=v\r\n");
}

TEST(ProfileStrings, WriteCreatesTheFileAndUpdatesIt) {
  TempFolder folder;
  const std::string path = folder.File("test.ini");
  EXPECT_EQ(GetProfileString("A", "B", "none", path), "none");
  ASSERT_TRUE(WriteProfileString("A", "B", "1", path));
  ASSERT_TRUE(WriteProfileString("A", "C", "2", path));
  ASSERT_TRUE(WriteProfileString("a", "b", "3", path));
  EXPECT_EQ(ReadBytes(path), "[A]\r\nb=3\r\nC=2\r\n");
  EXPECT_EQ(GetProfileString("A", "B", "none", path), "3");
}

}  // namespace
}  // namespace kv
