// The report after a real read of the simulated instrument: the identity only
// an instrument tells (serial number, firmware) reaches the PDF.
#include <QAction>

#include "report/report_test_support.h"
#include "rules/edit_check.h"
#include "window_on_sim.h"

namespace kv {
namespace {

using test::WindowOnSim;

TEST_F(WindowOnSim, TheReportAfterAReadHoldsTheInstrumentsIdentity) {
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  const clsInstrument& read = window_->CurInstrument();
  const std::string serial(rules::Trim(read.SerialNo()));
  ASSERT_FALSE(serial.empty()) << "the simulator reports a serial number";
  ASSERT_NE(read.RomNumber(), 0) << "the simulator reports its firmware";

  const std::string pdf = dataDir_.filePath(QStringLiteral("report.pdf")).toStdString();
  dialogs_.files = {QString::fromStdString(pdf)};
  window_->findChild<QAction*>(QStringLiteral("mnuReport"))->trigger();
  const std::string text = test::PdfText(pdf);
  ASSERT_FALSE(text.empty());
  EXPECT_TRUE(test::HasWord(text, serial)) << serial;
  EXPECT_TRUE(test::HasWord(text, std::to_string(read.RomNumber()))) << read.RomNumber();
  EXPECT_EQ(text.find("not recorded"), std::string::npos) << text;
}

// Power OFF clears the grids; the report still names the instrument as it
// was read, with its calibrations.
TEST_F(WindowOnSim, TheReportAfterPowerOffNamesTheInstrumentLastRead) {
  ASSERT_NO_FATAL_FAILURE(Start());
  RunGet();
  const std::string serial(rules::Trim(window_->CurInstrument().SerialNo()));
  ASSERT_FALSE(serial.empty());
  dialogs_.answers = {true};  // "POWER OFF ?"
  Click("cmdPowerOff");
  ASSERT_TRUE(rules::Trim(window_->EditInstrument().SerialNo()).empty()) << "the grids were cleared";

  const std::string pdf = dataDir_.filePath(QStringLiteral("after-power-off.pdf")).toStdString();
  dialogs_.files = {QString::fromStdString(pdf)};
  window_->findChild<QAction*>(QStringLiteral("mnuReport"))->trigger();
  const std::string text = test::PdfText(pdf);
  ASSERT_FALSE(text.empty());
  EXPECT_TRUE(test::HasWord(text, serial)) << text;
}

}  // namespace
}  // namespace kv
