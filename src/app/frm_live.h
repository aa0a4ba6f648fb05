#pragma once
// frmLive: the current readings of the seven channels, polled once a second
// while the window is open: each channel's value with its gas name and unit,
// and a plot of the last minutes with each enabled channel's warning and
// alarm levels as dashed lines. Polling stops when the window closes or the
// link is lost; it runs as the link's transaction meanwhile.
#include <QElapsedTimer>
#include <QWidget>
#include <array>

#include "model/instrument.h"

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
  // How much of the past the plot shows.
  static constexpr int kPlotSeconds = 300;

  explicit frmLive(uclTzif& link, QWidget* parent = nullptr);

  // Reads the channel descriptions, then polls; false while the link is busy.
  bool Start();
  // Polling ends after the exchange under way.
  void Stop();
  bool Polling() const { return polling_; }

  QChartView* ChartView() const { return chartView_; }
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
  void SetPolling(bool polling);
  void StartPolling();
  // The names, units and level lines once the descriptions are in.
  void ShowChannels();
  void ShowReadings();

  uclTzif& link_;
  clsInstrument record_;
  bool stop_ = false;
  bool polling_ = false;
  QElapsedTimer elapsed_;
  std::array<QLabel*, kSensorChannels> names_{};
  std::array<QLabel*, kSensorChannels> values_{};
  std::array<QLineSeries*, kSensorChannels> series_{};
  std::array<std::array<QLineSeries*, 2>, kSensorChannels> levels_{};
  QChart* chart_ = nullptr;
  QChartView* chartView_ = nullptr;
  QValueAxis* timeAxis_ = nullptr;
  QValueAxis* valueAxis_ = nullptr;
};

}  // namespace kv
