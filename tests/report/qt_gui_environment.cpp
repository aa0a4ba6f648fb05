// One QGuiApplication for the whole test program (fonts for the PDF), offscreen.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <clocale>
#include <memory>

namespace {

class QtGuiEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    std::setlocale(LC_NUMERIC, "C");
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[13] = "report_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] const auto* const kRegistered =
    ::testing::AddGlobalTestEnvironment(new QtGuiEnvironment);

}  // namespace
