#include "app/upload_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/messages.h"

namespace kv {
namespace {

QString Text(int id) { return QString::fromLatin1(FormatMessage(id)); }

}  // namespace

frmUpload::frmUpload(QWidget* parent)
    : QDialog(parent),
      lblUpload_(new QLabel(this)),
      prgUpload_(new QProgressBar(this)),
      cmdUpload_(new QPushButton(this)) {
  setObjectName(QStringLiteral("frmUpload"));
  setModal(false);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  lblUpload_->setObjectName(QStringLiteral("lblUpload"));
  prgUpload_->setObjectName(QStringLiteral("prgUpload"));
  prgUpload_->setFormat(QStringLiteral("%v/%m"));
  cmdUpload_->setObjectName(QStringLiteral("cmdUpload"));
  cmdUpload_->setText(Text(msg::kCancelCaption));
  cmdUpload_->setAutoDefault(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblUpload_);
  layout->addWidget(prgUpload_);
  layout->addWidget(cmdUpload_, 0, Qt::AlignRight);
  setMinimumWidth(fontMetrics().averageCharWidth() * 45);

  connect(cmdUpload_, &QPushButton::clicked, this, &frmUpload::cmdUpload_Click);
  Form_Load();
}

void frmUpload::Form_Load() {
  SetCaption(Text(msg::kNowDownloading));
  SetMessage(Text(msg::kNowDownloading));
  SetProgress(0, 0);
  cmdUpload_->setEnabled(true);
  canceled_ = false;
}

void frmUpload::SetMessage(const QString& text) { lblUpload_->setText(text); }

QString frmUpload::Message() const { return lblUpload_->text(); }

void frmUpload::SetProgress(int done, int total) {
  if (total <= 0) {
    prgUpload_->setRange(0, 0);
    return;
  }
  prgUpload_->setRange(0, total);
  prgUpload_->setValue(std::clamp(done, 0, total));
}

void frmUpload::cmdUpload_Click() {
  if (canceled_) return;
  SetMessage(Text(msg::kNowCancelProcessing));
  canceled_ = true;
  cmdUpload_->setEnabled(false);
  emit CancelRequested();
}

void frmUpload::reject() { cmdUpload_Click(); }

}  // namespace kv
