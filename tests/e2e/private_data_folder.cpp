// kvmaint runs without --data-dir use the data folder named by
// KVMAINTENANCE_HOME (the history is recorded there): point it at a folder of
// this test process's own, never at the user's real one.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/temp_folder.h"

namespace kv::e2e {
namespace {

class PrivateDataFolder : public ::testing::Environment {
 public:
  void SetUp() override { ::setenv("KVMAINTENANCE_HOME", folder_.Path().c_str(), 1); }

 private:
  testsupport::TempFolder folder_{"kvhome"};
};

[[maybe_unused]] const ::testing::Environment* const kPrivateDataFolder =
    ::testing::AddGlobalTestEnvironment(new PrivateDataFolder);

}  // namespace
}  // namespace kv::e2e
