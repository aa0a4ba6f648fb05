#include "files/configuration.h"
#include "files/ini_file.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

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

TEST(Configuration, DamageIsFoundOnlyInTextNoIniFileHolds) {
  struct Case {
    const char* what;
    std::string text;
    std::string damage;  // "" for a sound file
  };
  const std::vector<Case> cases = {
      {"the default file", kDefaultFile, ""},
      {"comments, blank lines, LF and CR ends",
       "; note\n# other\n\n[Font]\rName = Courier New\r\n  \t\n", ""},
      {"a value with Latin-1 letters", "[Font]\r\nName=Fran\xE7" "ais\r\n", ""},
      {"a file of NULs, as a power loss leaves it", std::string(64, '\0'),
       "line 1: a control byte, no text"},
      {"binary junk on the third line", "[Font]\r\nSize=9\r\nBo\x01ld=True\r\n",
       "line 3: a control byte, no text"},
      {"a line that is no INI line", "[Font]\r\nName=Arial\r\nthis is not ini\r\n",
       "line 3: neither a [section] nor a key=value line"},
      {"a section header cut short", "[Fon", "line 1: neither a [section] nor a key=value line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ConfigurationDamage(c.text), c.damage);
  }
}

const DateTime kStartedAt{2026, 12, 10, 17, 15, 0};

TEST(Configuration, ADamagedFileIsKeptAsideThenReplacedByTheDefaults) {
  TempFolder folder;
  const std::string damaged = "[Font]\r\nName=Courier New\r\n" + std::string(16, '\0');
  WriteBytes(folder.File("KVMaintenance.ini"), damaged);
  const Configuration configuration = LoadConfiguration(folder.Path(), kStartedAt);
  EXPECT_EQ(configuration.error, "");
  EXPECT_EQ(configuration.damage, "line 3: a control byte, no text");
  EXPECT_EQ(configuration.keptAs, folder.File("KVMaintenance.ini.corrupt-20261210-171500"));
  EXPECT_EQ(ReadBytes(configuration.keptAs), damaged) << "the user's settings are kept";
  EXPECT_EQ(ReadBytes(folder.File("KVMaintenance.ini")), kDefaultFile);
  ExpectDefaultFont(configuration.font);

  // Damaged again in the same second: the first copy is not overwritten.
  WriteBytes(folder.File("KVMaintenance.ini"), "junk");
  const Configuration again = LoadConfiguration(folder.Path(), kStartedAt);
  EXPECT_EQ(again.keptAs, folder.File("KVMaintenance.ini.corrupt-20261210-171500-2"));
  EXPECT_EQ(ReadBytes(again.keptAs), "junk");
  EXPECT_EQ(ReadBytes(configuration.keptAs), damaged);

  // A sound file is neither kept aside nor rewritten.
  const Configuration sound = LoadConfiguration(folder.Path(), kStartedAt);
  EXPECT_EQ(sound.damage, "");
  EXPECT_EQ(sound.keptAs, "");
  EXPECT_EQ(folder.Entries().size(), 3U);
}

// 10 MB of blank lines is no configuration: refused unread (the reader would
// otherwise take hundreds of MB and seconds), with its size, then kept aside
// and replaced like any damaged file.
TEST(Configuration, AFileFarTooLargeIsRefusedUnreadWithItsSize) {
  TempFolder folder;
  const std::string path = folder.File("KVMaintenance.ini");
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    const std::string blanks(1 << 20, '\n');
    for (int i = 0; i < 10; ++i) std::fwrite(blanks.data(), 1, blanks.size(), file);
    std::fclose(file);
  }
  const auto started = std::chrono::steady_clock::now();
  const Configuration configuration = LoadConfiguration(folder.Path(), kStartedAt);
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_LT(took, std::chrono::milliseconds(500));
  EXPECT_NE(configuration.damage.find("is 10485760 bytes, larger than any configuration file (256 KiB)"),
            std::string::npos)
      << configuration.damage;
  EXPECT_EQ(std::filesystem::file_size(configuration.keptAs), 10485760U);
  EXPECT_EQ(ReadBytes(path), kDefaultFile);

  std::string why;
  WriteBytes(path, std::string(IniFile::kMaxFileBytes + 1, ';'));
  EXPECT_FALSE(IniFile::Load(path, &why).has_value());
  EXPECT_NE(why.find(std::to_string(IniFile::kMaxFileBytes + 1) + " bytes"), std::string::npos) << why;
  WriteBytes(path, std::string(IniFile::kMaxFileBytes, ';'));
  EXPECT_TRUE(IniFile::Load(path, &why).has_value()) << "a file of the bound itself is read";
}

TEST(Configuration, ADamagedFileThatCannotBeKeptAsideIsLeftAsItIs) {
  struct Case {
    const char* what;
    std::function<bool(const TempFolder&)> prevent;  // false: cannot be arranged here
    std::string error;
    std::string asideAfter;  // what the first aside name then holds
  };
  const std::string aside = "KVMaintenance.ini.corrupt-20261210-171500";
  const std::vector<Case> cases = {
      {"a read-only folder",
       [](const TempFolder& folder) {
         if (::geteuid() == 0) return false;  // root writes into it anyway
         std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write,
                                      std::filesystem::perm_options::remove);
         return true;
       },
       "cannot keep ", ""},
      {"every name of the second taken",
       [&aside](const TempFolder& folder) {
         WriteBytes(folder.File(aside), "earlier");
         for (int i = 2; i <= 100; ++i) WriteBytes(folder.File(aside + "-" + std::to_string(i)), "earlier");
         return true;
       },
       "every name of this second is taken", "earlier"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    WriteBytes(folder.File("KVMaintenance.ini"), "junk");
    if (!c.prevent(folder)) continue;
    const Configuration configuration = LoadConfiguration(folder.Path(), kStartedAt);
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(configuration.damage, "line 1: neither a [section] nor a key=value line");
    EXPECT_EQ(configuration.keptAs, "");
    EXPECT_NE(configuration.error.find(c.error), std::string::npos) << configuration.error;
    EXPECT_EQ(ReadBytes(folder.File("KVMaintenance.ini")), "junk");
    EXPECT_EQ(ReadBytes(folder.File(aside)), c.asideAfter) << "no earlier copy replaced";
    ExpectDefaultFont(configuration.font);
  }
}

}  // namespace
}  // namespace kv
