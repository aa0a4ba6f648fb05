#pragma once
// One adapter of a station run, large enough to read from a metre away: the
// port, the instrument on it and the step, in words and in the colour of the
// step (grey waits, blue works, green done, red failed, amber skipped).
#include <QFrame>
#include <QString>
#include <string>

#include "ops/station_run.h"

class QLabel;

namespace kv {

class StationTile final : public QFrame {
  Q_OBJECT

 public:
  StationTile(const QString& port, QWidget* parent);

  const QString& Port() const { return port_; }
  // The step of the instrument on the adapter (`serial` empty while none is known).
  void ShowPhase(StationPhase phase, const std::string& serial);
  // A line under the step: why an instrument failed or was skipped.
  void ShowDetail(const QString& text);
  // One more instrument done on this adapter.
  void CountDone();
  int DoneHere() const { return doneHere_; }
  // The adapter's cycle has ended (the run stopped).
  void ShowEnded(const QString& why);
  StationPhase Phase() const { return phase_; }

 private:
  void Paint(const char* background);

  QString port_;
  StationPhase phase_ = StationPhase::Waiting;
  int doneHere_ = 0;
  QLabel* lblPort = nullptr;
  QLabel* lblSerial = nullptr;
  QLabel* lblStep = nullptr;
  QLabel* lblDetail = nullptr;
  QLabel* lblCount = nullptr;
};

// The step's words and colour, as the tiles show them.
const char* PhaseWords(StationPhase phase);
const char* PhaseColour(StationPhase phase);

}  // namespace kv
