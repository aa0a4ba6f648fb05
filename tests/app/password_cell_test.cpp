// SET PASSWORD in the Other Setting grid is drawn masked, one "*" per
// character; its editor shows it while editing, and what the grid holds and
// writes stays exact.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QStyleOptionViewItem>

#include "app/grid_editor.h"
#include "app/settings_grid.h"
#include "main_window_fixture.h"
#include "support/sample_record.h"

namespace kv {
namespace {

constexpr int kPasswordRow = 23;
constexpr int kBacklightRow = 14;

class PasswordCell : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ASSERT_TRUE(Load());
    clsInstrument record = testsupport::GridRecord();
    record.StorePassword("8462");
    window_->EditInstrument() = record;
    window_->FillAllGrids();
    grid_ = Find<SettingsGrid>("vfgDatas");
    ASSERT_NE(grid_, nullptr);
  }

  QModelIndex Index(int row) const { return grid_->Index(row, 1); }
  QString Drawn(int row) const { return DrawnText(Index(row)); }

  SettingsGrid* grid_ = nullptr;
};

TEST_F(PasswordCell, IsDrawnMaskedWhileTheGridHoldsItExactly) {
  EXPECT_EQ(grid_->Text(kPasswordRow, 1), "8462");
  EXPECT_EQ(Drawn(kPasswordRow), "****");
  EXPECT_EQ(Drawn(kBacklightRow), grid_->Text(kBacklightRow, 1)) << "other rows are drawn as they are";
}

TEST_F(PasswordCell, TheEditorShowsItAndTheEditIsWrittenExactly) {
  QAbstractItemDelegate& delegate = *grid_->itemDelegate();
  std::unique_ptr<QWidget> editor(delegate.createEditor(grid_->viewport(), QStyleOptionViewItem(), Index(kPasswordRow)));
  auto* line = qobject_cast<QLineEdit*>(editor.get());
  ASSERT_NE(line, nullptr);
  delegate.setEditorData(line, Index(kPasswordRow));
  EXPECT_EQ(line->text(), "8462") << "revealed while editing";
  line->setText(QStringLiteral("0917"));
  delegate.setModelData(line, grid_->model(), Index(kPasswordRow));
  EXPECT_EQ(grid_->Text(kPasswordRow, 1), "0917");
  EXPECT_EQ(Drawn(kPasswordRow), "****");
  window_->StoreGrids();
  EXPECT_EQ(window_->EditInstrument().Password(), "0917");
  EXPECT_TRUE(window_->EditInstrument().Change_Password());
}

}  // namespace
}  // namespace kv
