#include "app/frm_live.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

#include "app/service_results.h"
#include "link/link.h"
#include "protocol/format_gas_value.h"
#include "qtedge/latin1.h"
#include "rules/edit_check.h"

namespace kv {
namespace {

// Readings at or below this are the instrument's special codes (no data,
// over range ...): shown in words, never plotted.
constexpr float kLowestPlotted = -100.0F;
// Plots side by side in the window.
constexpr int kPlotColumns = 4;
// Room above the highest level or reading.
constexpr double kHeadroom = 1.1;

const std::array<QColor, kSensorChannels> kChannelColours = {
    QColor(200, 0, 0),   QColor(0, 110, 200), QColor(150, 100, 0), QColor(0, 150, 60),
    QColor(140, 0, 170), QColor(0, 150, 150), QColor(90, 90, 90)};

bool Plotted(float value) { return value > kLowestPlotted; }

QValueAxis* NewAxis(QChart* chart, Qt::Alignment where) {
  auto* axis = new QValueAxis(chart);
  QFont small = axis->labelsFont();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  axis->setLabelsFont(small);
  chart->addAxis(axis, where);
  return axis;
}

void Attach(QChart* chart, QLineSeries* series, QValueAxis* time, QValueAxis* scale) {
  chart->addSeries(series);
  series->attachAxis(time);
  series->attachAxis(scale);
}

void Remove(QChart* chart, QLineSeries*& series) {
  if (series == nullptr) return;
  chart->removeSeries(series);
  delete series;
  series = nullptr;
}

}  // namespace

frmLive::frmLive(uclTzif& link, QWidget* parent) : QWidget(parent, Qt::Window), link_(link) {
  setObjectName(QStringLiteral("frmLive"));
  setWindowTitle(tr("Live Readings"));
  auto* layout = new QVBoxLayout(this);
  auto* numbers = new QGridLayout;
  auto* charts = new QGridLayout;
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    const auto c = static_cast<std::size_t>(channel);
    ChannelPlot& plot = plots_[c];
    plot.name = new QLabel(ChannelTitle(record_, channel), this);
    plot.value = new QLabel(QStringLiteral("-"), this);
    plot.value->setObjectName(QStringLiteral("lblLive%1").arg(channel));
    QFont big = plot.value->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    plot.value->setFont(big);
    plot.value->setStyleSheet(QStringLiteral("color: %1").arg(kChannelColours[c].name()));
    numbers->addWidget(plot.name, 0, channel, Qt::AlignHCenter);
    numbers->addWidget(plot.value, 1, channel, Qt::AlignHCenter);

    plot.chart = new QChart;
    plot.chart->legend()->hide();
    plot.chart->setMargins(QMargins(2, 2, 2, 2));
    plot.time = NewAxis(plot.chart, Qt::AlignBottom);
    plot.time->setLabelFormat(QStringLiteral("%d"));
    plot.time->setRange(0, kPlotSeconds);
    plot.scale = NewAxis(plot.chart, Qt::AlignLeft);
    plot.scale->setRange(0, 1);
    plot.view = new QChartView(plot.chart, this);
    plot.view->setObjectName(QStringLiteral("chvLive%1").arg(channel));
    plot.view->setRenderHint(QPainter::Antialiasing);
    plot.view->setMinimumSize(240, 180);
    charts->addWidget(plot.view, channel / kPlotColumns, channel % kPlotColumns);
  }
  layout->addLayout(numbers);
  layout->addLayout(charts, 1);
  resize(1100, 620);
}

QChartView* frmLive::ChartView(int channel) const {
  if (channel < 0 || channel >= kSensorChannels) return nullptr;
  return plots_[static_cast<std::size_t>(channel)].view;
}

QValueAxis* frmLive::ValueAxis(int channel) const {
  if (channel < 0 || channel >= kSensorChannels) return nullptr;
  return plots_[static_cast<std::size_t>(channel)].scale;
}

QLineSeries* frmLive::Series(int channel) const {
  if (channel < 0 || channel >= kSensorChannels) return nullptr;
  return plots_[static_cast<std::size_t>(channel)].readings;
}

QLineSeries* frmLive::LevelLine(int channel, int level) const {
  if (channel < 0 || channel >= kSensorChannels || level < 0 || level > 1) return nullptr;
  return plots_[static_cast<std::size_t>(channel)].levels[static_cast<std::size_t>(level)];
}

QString frmLive::ValueText(int channel) const {
  if (channel < 0 || channel >= kSensorChannels) return {};
  return plots_[static_cast<std::size_t>(channel)].value->text();
}

bool frmLive::Start() {
  if (polling_) {
    // Closed and opened again before the last poll ended: it goes on.
    stop_ = false;
    return true;
  }
  if (link_.TaskRunning()) return false;
  stop_ = false;
  request_.channels = ChannelReads::DescriptionsAndLevels;
  request_.stop = &stop_;
  request_.onChannels = [this] { ShowChannels(); };
  request_.onReadings = [this] { ShowReadings(); };
  const bool started = link_.Start(ops::RunLive(link_, record_, request_), [this](bool ok) {
    QTimer::singleShot(0, this, [this, ok] {
      SetPolling(false);
      // Stopped, then asked to go on before the stop was seen through.
      if (ok && !stop_ && isVisible()) Start();
    });
  });
  SetPolling(started);
  return started;
}

void frmLive::Stop() { stop_ = true; }

void frmLive::SetPolling(bool polling) {
  if (polling_ == polling) return;
  polling_ = polling;
  emit PollingChanged(polling);
}

void frmLive::closeEvent(QCloseEvent* event) {
  Stop();
  QWidget::closeEvent(event);
}

double frmLive::SecondsNow() const {
  return static_cast<double>(SecondsBetween(started_, link_.GetClock().Now()));
}

void frmLive::ShowChannels() {
  // Opened again, the plots go on where they were.
  if (!timeStarted_) {
    started_ = link_.GetClock().Now();
    timeStarted_ = true;
  }
  for (int channel = 0; channel < kSensorChannels; ++channel) ShowChannel(channel);
}

void frmLive::ShowChannel(int channel) {
  const auto c = static_cast<std::size_t>(channel);
  ChannelPlot& plot = plots_[c];
  const std::string unit(rules::Trim(record_.GasUnit(channel)));
  const QString title = ChannelTitle(record_, channel) + (unit.empty() ? QString() : QStringLiteral(" ") + ToQString(unit));
  plot.name->setText(title);
  const bool enabled = record_.GasEnabled(channel);
  plot.value->setEnabled(enabled);
  plot.view->setVisible(enabled);
  for (QLineSeries*& line : plot.levels) Remove(plot.chart, line);
  if (!enabled) {
    Remove(plot.chart, plot.readings);
    return;
  }
  plot.chart->setTitle(title);
  plot.scale->setTitleText(ToQString(unit));
  if (plot.readings == nullptr) {
    plot.readings = new QLineSeries(plot.chart);
    plot.readings->setName(title);
    plot.readings->setPen(QPen(kChannelColours[c], 2));
    Attach(plot.chart, plot.readings, plot.time, plot.scale);
  }
  double highest = 0;
  const std::array<float, 2> levels = {record_.Warning(channel), record_.Alarm(channel)};
  for (std::size_t level = 0; level < levels.size(); ++level) {
    if (!Plotted(levels[level])) continue;
    auto* line = new QLineSeries(plot.chart);
    line->setName(level == 0 ? tr("Warning") : tr("Alarm"));
    line->setPen(QPen(level == 0 ? QColor(230, 150, 0) : QColor(220, 0, 0), 1,
                      level == 0 ? Qt::DashLine : Qt::DashDotLine));
    line->append(plot.time->min(), levels[level]);
    line->append(plot.time->max(), levels[level]);
    Attach(plot.chart, line, plot.time, plot.scale);
    plot.levels[level] = line;
    highest = std::max(highest, static_cast<double>(levels[level]));
  }
  for (const QPointF& point : plot.readings->points()) highest = std::max(highest, point.y());
  plot.scale->setRange(0, highest > 0 ? highest * kHeadroom : 1.0);
}

void frmLive::ShowReadings() {
  const double now = SecondsNow();
  const double from = std::max(0.0, now - kPlotSeconds);
  const double to = std::max(from + kPlotSeconds, now);
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    ChannelPlot& plot = plots_[static_cast<std::size_t>(channel)];
    const float value = record_.LimitValue(channel);
    plot.value->setText(ToQString(FormatGasValue(value, record_.GasPoint(channel))));
    if (plot.readings == nullptr) continue;
    if (Plotted(value)) {
      plot.readings->append(now, value);
      if (value * kHeadroom > plot.scale->max()) plot.scale->setMax(value * kHeadroom);
    }
    // Older points have scrolled out of the plot.
    while (plot.readings->count() > 0 && plot.readings->at(0).x() < from) plot.readings->remove(0);
    for (QLineSeries* line : plot.levels) {
      if (line == nullptr || line->count() != 2) continue;
      const double level = line->at(0).y();
      line->replace(0, QPointF(from, level));
      line->replace(1, QPointF(to, level));
    }
    plot.time->setRange(from, to);
  }
}

}  // namespace kv
