// The review before Transmit shows each setting in a row of its own, in the
// order given, and answers Transmit or Cancel.
#include "app/review_dialog.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace kv {
namespace {

const std::vector<ReviewLine> kLines = {
    {QStringLiteral("LCD Backlight Time(0-255sec)"), QStringLiteral("5"), QStringLiteral("10")},
    {QStringLiteral("Warning (CO)"), QStringLiteral("25"), QStringLiteral("20")},
};

TEST(ReviewDialogTest, ListsEverySettingWithItsOldAndNewValue) {
  ReviewDialog dialog(QStringLiteral("Update"), QStringLiteral("Update Ready?"), kLines);
  const QTableWidget* table = dialog.Table();
  ASSERT_EQ(table->rowCount(), 2);
  for (int row = 0; row < 2; ++row) {
    const ReviewLine& line = kLines[static_cast<std::size_t>(row)];
    EXPECT_EQ(table->item(row, 0)->text(), line.name);
    EXPECT_EQ(table->item(row, 1)->text(), line.oldValue);
    EXPECT_EQ(table->item(row, 2)->text(), line.newValue);
  }
  EXPECT_EQ(dialog.windowTitle(), "Update");
}

TEST(ReviewDialogTest, TransmitAcceptsAndClosingRejects) {
  struct Case {
    bool clickTransmit;
    int result;
  };
  for (const Case c : {Case{true, QDialog::Accepted}, Case{false, QDialog::Rejected}}) {
    ReviewDialog dialog(QStringLiteral("Update"), QStringLiteral("Update Ready?"), kLines);
    QTimer::singleShot(0, &dialog, [&dialog, c] {
      if (c.clickTransmit) {
        dialog.TransmitButton()->click();
      } else {
        dialog.reject();
      }
    });
    EXPECT_EQ(dialog.exec(), c.result);
  }
}

}  // namespace
}  // namespace kv
