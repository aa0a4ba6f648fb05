// The "Verify after transmit" option in KVMaintenance.ini.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "files/configuration.h"
#include "temp_folder.h"

namespace kv {
namespace {

struct VerifyCase {
  const char* fileText;  // nullptr: no file
  bool expected;
};

TEST(VerifyOptionTest, ReadFromTheMaintenanceSection) {
  const VerifyCase cases[] = {
      {nullptr, true},
      {"[Font]\r\nName=Arial\r\n", true},
      {"[Maintenance]\r\nVerifyAfterTransmit=False\r\n", false},
      {"[Maintenance]\r\nVerifyAfterTransmit=0\r\n", false},
      {"[Maintenance]\r\nVerifyAfterTransmit=True\r\n", true},
      {"[Maintenance]\r\nVerifyAfterTransmit=maybe\r\n", true},
      {"[Font]\r\nVerifyAfterTransmit=False\r\n", true},  // another section's key
  };
  for (const VerifyCase& c : cases) {
    testing_support::TempFolder folder;
    if (c.fileText != nullptr) {
      std::ofstream(ConfigurationPath(folder.Path()), std::ios::binary) << c.fileText;
    }
    EXPECT_EQ(LoadConfiguration(folder.Path()).verifyAfterTransmit, c.expected)
        << (c.fileText ? c.fileText : "no file");
  }
}

TEST(VerifyOptionTest, SavedValueIsReadBackAndTheFontKept) {
  testing_support::TempFolder folder;
  std::ofstream(ConfigurationPath(folder.Path()), std::ios::binary) << "[Font]\r\nName=Courier\r\n";
  std::string error;
  ASSERT_TRUE(SaveVerifyAfterTransmit(folder.Path(), false, &error)) << error;
  const Configuration off = LoadConfiguration(folder.Path());
  EXPECT_FALSE(off.verifyAfterTransmit);
  EXPECT_EQ(off.font.name, "Courier");
  ASSERT_TRUE(SaveVerifyAfterTransmit(folder.Path(), true, &error)) << error;
  EXPECT_TRUE(LoadConfiguration(folder.Path()).verifyAfterTransmit);
}

}  // namespace
}  // namespace kv
