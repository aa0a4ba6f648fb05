#include "app/station_tile.h"

#include <QLabel>
#include <QVBoxLayout>

#include "qtedge/latin1.h"

namespace kv {
namespace {

struct PhaseLook {
  StationPhase phase;
  const char* words;
  const char* background;
};
constexpr PhaseLook kLooks[] = {
    {StationPhase::Waiting, "WAITING for an instrument", "#6b6b6b"},
    {StationPhase::Reading, "READING", "#1f5fbf"},
    {StationPhase::Writing, "WRITING", "#1f5fbf"},
    {StationPhase::Verifying, "VERIFYING", "#1f5fbf"},
    {StationPhase::Finishing, "CLOCK AND POWER OFF", "#1f5fbf"},
    {StationPhase::Done, "DONE", "#1e8c3a"},
    {StationPhase::Failed, "FAILED", "#c62828"},
    {StationPhase::Skipped, "SKIPPED (already done)", "#d08a00"},
};
constexpr const char* kEndedColour = "#3a3a3a";
// Readable from a metre away on a 1366x768 screen with two tiles side by side.
constexpr int kStepPointSize = 30;
constexpr int kSerialPointSize = 24;
constexpr int kPortPointSize = 14;

const PhaseLook& Look(StationPhase phase) {
  for (const PhaseLook& look : kLooks) {
    if (look.phase == phase) return look;
  }
  return kLooks[0];
}

QLabel* BigLabel(QWidget* parent, const char* name, int pointSize, bool bold) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  QFont font = label->font();
  font.setPointSize(pointSize);
  font.setBold(bold);
  label->setFont(font);
  return label;
}

}  // namespace

const char* PhaseWords(StationPhase phase) { return Look(phase).words; }
const char* PhaseColour(StationPhase phase) { return Look(phase).background; }

StationTile::StationTile(const QString& port, QWidget* parent) : QFrame(parent), port_(port) {
  setObjectName(QStringLiteral("tileStation"));
  setAutoFillBackground(true);
  setMinimumSize(300, 200);
  auto* column = new QVBoxLayout(this);
  lblPort = BigLabel(this, "lblTilePort", kPortPointSize, false);
  lblPort->setText(port);
  lblSerial = BigLabel(this, "lblTileSerial", kSerialPointSize, true);
  lblStep = BigLabel(this, "lblTileStep", kStepPointSize, true);
  lblDetail = BigLabel(this, "lblTileDetail", kPortPointSize, false);
  lblCount = BigLabel(this, "lblTileCount", kPortPointSize, false);
  column->addWidget(lblPort);
  column->addWidget(lblSerial);
  column->addWidget(lblStep, 1);
  column->addWidget(lblDetail);
  column->addWidget(lblCount);
  ShowPhase(StationPhase::Waiting, {});
}

void StationTile::ShowPhase(StationPhase phase, const std::string& serial) {
  phase_ = phase;
  setProperty("phase", QString::fromLatin1(PhaseText(phase).data()));
  lblStep->setText(tr(PhaseWords(phase)));
  // A new instrument clears what was said of the one before.
  if (phase == StationPhase::Waiting || phase == StationPhase::Reading) lblDetail->clear();
  if (!serial.empty() || phase == StationPhase::Waiting) lblSerial->setText(ToQString(serial));
  Paint(PhaseColour(phase));
}

void StationTile::CountDone() {
  ++doneHere_;
  lblCount->setText(tr("Done on this adapter: %1").arg(doneHere_));
}

void StationTile::ShowDetail(const QString& text) { lblDetail->setText(text); }

void StationTile::ShowEnded(const QString& why) {
  setProperty("phase", QStringLiteral("ended"));
  lblStep->setText(why);
  Paint(kEndedColour);
}

void StationTile::Paint(const char* background) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(QString::fromLatin1(background)));
  palette.setColor(QPalette::WindowText, Qt::white);
  setPalette(palette);
}

}  // namespace kv
