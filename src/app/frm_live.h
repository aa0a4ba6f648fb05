#pragma once
// frmLive: the current readings of the seven channels, polled once a second
// while the window is open (ops::PollLive): each channel's value with its gas
// name and unit, and one small plot per enabled channel of the last minutes,
// on the channel's own scale and unit, with its warning and alarm levels as
// dashed lines. Polling stops when the window closes or the link is lost; it
// runs as the link's transaction meanwhile. Time is the link clock's.
#include <QWidget>
#include <array>

#include "common/datetime.h"
#include "model/instrument.h"
#include "ops/service_live.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QValueAxis;

namespace kv {

class uclTzif;

class frmLive final : public QWidget {
  Q_OBJECT

 public:
  // How much of the past the plots show.
  static constexpr int kPlotSeconds = 300;

  explicit frmLive(uclTzif& link, QWidget* parent = nullptr);

  // Reads the channel descriptions, then polls; false while the link is busy.
  bool Start();
  // Polling ends after the exchange under way.
  void Stop();
  bool Polling() const { return polling_; }

  // The plot of channel 0..6 (hidden for a disabled channel).
  QChartView* ChartView(int channel) const;
  // Its value axis: the channel's own scale, titled with its unit.
  QValueAxis* ValueAxis(int channel) const;
  // The plotted readings of channel 0..6 (null for a disabled channel).
  QLineSeries* Series(int channel) const;
  // The warning (level 0) and alarm (level 1) line of a channel.
  QLineSeries* LevelLine(int channel, int level) const;
  QString ValueText(int channel) const;

 signals:
  // Polling started or ended (the link is busy meanwhile).
  void PollingChanged(bool polling);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct ChannelPlot {
    QLabel* name = nullptr;
    QLabel* value = nullptr;
    QChart* chart = nullptr;
    QChartView* view = nullptr;
    QValueAxis* time = nullptr;
    QValueAxis* scale = nullptr;
    QLineSeries* readings = nullptr;
    std::array<QLineSeries*, 2> levels{};
  };

  void SetPolling(bool polling);
  // The names, units, scales and level lines once the descriptions are in.
  void ShowChannels();
  void ShowChannel(int channel);
  void ShowReadings();
  double SecondsNow() const;

  uclTzif& link_;
  clsInstrument record_;
  ops::LiveRequest request_;
  bool stop_ = false;
  bool polling_ = false;
  DateTime started_;  // of the plots' time axis
  bool timeStarted_ = false;
  std::array<ChannelPlot, kSensorChannels> plots_{};
};

}  // namespace kv
