#include "files/configuration.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "support/temp_folder.h"

namespace kv {
namespace {

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

const std::string kDefaultFile =
    "[Communication]\r\n"
    "Setting=TRUE,4,115200,E,8,1\r\n"
    "Address=0000\r\n"
    "DelimiterCode=04\r\n"
    "Timeout=3\r\n"
    "Retry=3\r\n"
    "Delay=0\r\n"
    "[Font]\r\n"
    "Name=Arial\r\n"
    "Size=9\r\n"
    "Bold=False\r\n"
    "Italic=False\r\n"
    "Underline=False\r\n";

void ExpectDefaultFont(const FontSettings& font) {
  EXPECT_EQ(font.name, "Arial");
  EXPECT_EQ(font.size, 9.0F);
  EXPECT_FALSE(font.bold);
  EXPECT_FALSE(font.italic);
  EXPECT_FALSE(font.underline);
}

TEST(Configuration, AMissingFileIsCreatedWithTheElevenKeysInOrder) {
  TempFolder folder;
  const Configuration configuration = LoadConfiguration(folder.Path());
  EXPECT_EQ(configuration.error, "");
  EXPECT_EQ(ReadBytes(folder.File("KVMaintenance.ini")), kDefaultFile);
  ExpectDefaultFont(configuration.font);
}

// Another INI reader must see the values as written, unquoted.
TEST(Configuration, PythonsConfigParserReadsTheSetting) {
  if (std::system("python3 -c pass > /dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  TempFolder folder;
  LoadConfiguration(folder.Path() + "/");  // a trailing separator is not doubled
  const std::string command =
      "python3 -c \"import configparser, sys; c = configparser.ConfigParser(); "
      "c.read(sys.argv[1]); print(c['Communication']['Setting']); print(c['Font']['Bold'])\" '" +
      folder.File("KVMaintenance.ini") + "'";
  const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
  ASSERT_NE(pipe, nullptr);
  std::string output;
  std::array<char, 256> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) output += buffer.data();
  EXPECT_EQ(output, "TRUE,4,115200,E,8,1\nFalse\n");
}

TEST(Configuration, FontKeysAreReadAndMalformedOnesKeepTheirDefaults) {
  struct Case {
    const char* what;
    std::string font;
    FontSettings expected;
  };
  const std::vector<Case> cases = {
      {"all given", "Name=Courier New\r\nSize=12\r\nBold=True\r\nItalic=true\r\nUnderline=1\r\n",
       {"Courier New", 12.0F, true, true, true}},
      {"fractional size", "Size=10.5\r\n", {"Arial", 10.5F, false, false, false}},
      {"missing keys", "", {}},
      {"malformed size and words",
       "Size=big\r\nBold=yes\r\nItalic=\r\nUnderline=Tru\r\n", {}},
      {"size zero", "Size=0\r\n", {}},
      {"size not finite", "Size=inf\r\n", {}},
      {"negative size", "Size=-3\r\n", {}},
      {"size with trailing text", "Size=12pt\r\n", {}},
      {"empty name", "Name=\r\nBold=FALSE\r\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    WriteBytes(folder.File("KVMaintenance.ini"), "[Font]\r\n" + c.font);
    const FontSettings font = LoadConfiguration(folder.Path()).font;
    EXPECT_EQ(font.name, c.expected.name);
    EXPECT_EQ(font.size, c.expected.size);
    EXPECT_EQ(font.bold, c.expected.bold);
    EXPECT_EQ(font.italic, c.expected.italic);
    EXPECT_EQ(font.underline, c.expected.underline);
  }
}

TEST(Configuration, TheLinkKeepsItsFixedValuesAndTheFileIsNotRewritten) {
  TempFolder folder;
  const std::string file = "[Communication]\r\nTimeout=10\r\nRetry=7\r\nDelay=2\r\n";
  WriteBytes(folder.File("KVMaintenance.ini"), file);
  const Configuration configuration = LoadConfiguration(folder.Path());
  EXPECT_EQ(configuration.link.retry, 3);
  EXPECT_EQ(configuration.link.timeout, 3);
  EXPECT_EQ(configuration.link.delay, 0);
  ExpectDefaultFont(configuration.font);
  EXPECT_EQ(ReadBytes(folder.File("KVMaintenance.ini")), file);
}

TEST(Configuration, AFileThatCannotBeCreatedLeavesTheDefaults) {
  TempFolder folder;
  const Configuration configuration = LoadConfiguration(folder.File("no/such/folder"));
  EXPECT_NE(configuration.error, "");
  ExpectDefaultFont(configuration.font);
  EXPECT_EQ(configuration.link.retry, 3);
  EXPECT_TRUE(folder.Entries().empty());
}

}  // namespace
}  // namespace kv
