// One QCoreApplication for the whole test program: the serial port's
// notifiers need an event dispatcher.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

namespace {

class QtCoreEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[13] = "qtedge_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QCoreApplication> app_;
};

[[maybe_unused]] const auto* const kRegistered =
    ::testing::AddGlobalTestEnvironment(new QtCoreEnvironment);

}  // namespace
