#include "app/review_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace kv {

ReviewDialog::ReviewDialog(const QString& title, const QString& question,
                           const std::vector<ReviewLine>& lines, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(this)) {
  setObjectName(QStringLiteral("dlgReview"));
  setWindowTitle(title);
  table_->setObjectName(QStringLiteral("tblReview"));
  table_->setColumnCount(3);
  table_->setHorizontalHeaderLabels({tr("Setting"), tr("Now"), tr("New")});
  table_->setRowCount(static_cast<int>(lines.size()));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);
  for (int row = 0; row < table_->rowCount(); ++row) {
    const ReviewLine& line = lines[static_cast<std::size_t>(row)];
    table_->setItem(row, 0, new QTableWidgetItem(line.name));
    table_->setItem(row, 1, new QTableWidgetItem(line.oldValue));
    table_->setItem(row, 2, new QTableWidgetItem(line.newValue));
    unchanged_.push_back(line.unchanged);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  const auto hidden = std::count(unchanged_.begin(), unchanged_.end(), true);
  if (hidden > 0) {
    showUnchanged_ = new QCheckBox(tr("%n unchanged, show them", nullptr, static_cast<int>(hidden)), this);
    showUnchanged_->setObjectName(QStringLiteral("chkShowUnchanged"));
    connect(showUnchanged_, &QCheckBox::toggled, this, &ReviewDialog::ShowUnchangedRows);
    layout->addWidget(showUnchanged_);
  }
  ShowUnchangedRows(false);

  auto* label = new QLabel(question, this);
  auto* buttons = new QDialogButtonBox(this);
  transmit_ = buttons->addButton(tr("Transmit"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  transmit_->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(label);
  layout->addWidget(buttons);
  resize(560, 360);
}

int ReviewDialog::VisibleRows() const {
  int visible = 0;
  for (int row = 0; row < table_->rowCount(); ++row) visible += table_->isRowHidden(row) ? 0 : 1;
  return visible;
}

void ReviewDialog::ShowUnchangedRows(bool show) {
  for (int row = 0; row < table_->rowCount(); ++row) {
    table_->setRowHidden(row, !show && unchanged_[static_cast<std::size_t>(row)]);
  }
}

}  // namespace kv
