#include "app/upload_dialog.h"

#include <gtest/gtest.h>

#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

namespace kv {
namespace {

TEST(frmUpload, CancelButtonAsksOnceAndSaysSo) {
  frmUpload dialog;
  QSignalSpy cancelled(&dialog, &frmUpload::CancelRequested);
  ASSERT_TRUE(dialog.CancelButton()->isEnabled());
  dialog.CancelButton()->click();
  EXPECT_EQ(cancelled.count(), 1);
  EXPECT_TRUE(dialog.Canceled());
  EXPECT_EQ(dialog.Message(), "Now Cancel Processing");
  EXPECT_FALSE(dialog.CancelButton()->isEnabled());
  // Closing the window while cancelling asks nothing more.
  dialog.reject();
  EXPECT_EQ(cancelled.count(), 1);
}

TEST(frmUpload, EveryShowingStartsFresh) {
  frmUpload dialog;
  dialog.SetProgress(57, 200);
  dialog.CancelButton()->click();
  dialog.Form_Load();
  EXPECT_FALSE(dialog.Canceled());
  EXPECT_TRUE(dialog.CancelButton()->isEnabled());
  EXPECT_EQ(dialog.Message(), "Now Downloading");
  EXPECT_EQ(dialog.ProgressBar()->maximum(), 0) << "busy until the first progress";
  EXPECT_FALSE(dialog.isModal());
}

TEST(frmUpload, ProgressBarFollowsTheTransaction) {
  frmUpload dialog;
  dialog.SetProgress(57, 200);
  EXPECT_EQ(dialog.ProgressBar()->maximum(), 200);
  EXPECT_EQ(dialog.ProgressBar()->value(), 57);
  EXPECT_EQ(dialog.ProgressBar()->text(), "57/200");
  dialog.SetProgress(250, 200);
  EXPECT_EQ(dialog.ProgressBar()->value(), 200);
}

}  // namespace
}  // namespace kv
