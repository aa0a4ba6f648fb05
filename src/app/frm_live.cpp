#include "app/frm_live.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

#include "app/service_menu.h"
#include "link/link.h"
#include "link/transactions.h"
#include "protocol/format_gas_value.h"
#include "qtedge/latin1.h"
#include "rules/edit_check.h"
#include "app/service_results.h"

namespace kv {
namespace {

// Readings at or below this are the instrument's special codes (no data,
// over range ...): shown in words, never plotted.
constexpr float kLowestPlotted = -100.0F;

const std::array<QColor, kSensorChannels> kChannelColours = {
    QColor(200, 0, 0),   QColor(0, 110, 200), QColor(150, 100, 0), QColor(0, 150, 60),
    QColor(140, 0, 170), QColor(0, 150, 150), QColor(90, 90, 90)};

bool Plotted(float value) { return value > kLowestPlotted; }

}  // namespace

frmLive::frmLive(uclTzif& link, QWidget* parent) : QWidget(parent, Qt::Window), link_(link) {
  setObjectName(QStringLiteral("frmLive"));
  setWindowTitle(tr("Live Readings"));
  auto* layout = new QVBoxLayout(this);
  auto* numbers = new QGridLayout;
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    const auto c = static_cast<std::size_t>(channel);
    names_[c] = new QLabel(ChannelTitle(record_, channel), this);
    values_[c] = new QLabel(QStringLiteral("-"), this);
    values_[c]->setObjectName(QStringLiteral("lblLive%1").arg(channel));
    QFont big = values_[c]->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    values_[c]->setFont(big);
    values_[c]->setStyleSheet(QStringLiteral("color: %1").arg(kChannelColours[c].name()));
    numbers->addWidget(names_[c], 0, channel, Qt::AlignHCenter);
    numbers->addWidget(values_[c], 1, channel, Qt::AlignHCenter);
  }
  layout->addLayout(numbers);

  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  timeAxis_ = new QValueAxis(chart_);
  timeAxis_->setTitleText(tr("Seconds"));
  timeAxis_->setLabelFormat(QStringLiteral("%d"));
  timeAxis_->setRange(0, kPlotSeconds);
  valueAxis_ = new QValueAxis(chart_);
  valueAxis_->setRange(0, 1);
  chart_->addAxis(timeAxis_, Qt::AlignBottom);
  chart_->addAxis(valueAxis_, Qt::AlignLeft);
  chartView_ = new QChartView(chart_, this);
  chartView_->setObjectName(QStringLiteral("chvLive"));
  chartView_->setRenderHint(QPainter::Antialiasing);
  chartView_->setMinimumSize(640, 320);
  layout->addWidget(chartView_, 1);
  resize(900, 560);
}

QLineSeries* frmLive::Series(int channel) const {
  if (channel < 0 || channel >= kSensorChannels) return nullptr;
  return series_[static_cast<std::size_t>(channel)];
}

QLineSeries* frmLive::LevelLine(int channel, int level) const {
  if (channel < 0 || channel >= kSensorChannels || level < 0 || level > 1) return nullptr;
  return levels_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(level)];
}

QString frmLive::ValueText(int channel) const {
  if (channel < 0 || channel >= kSensorChannels) return {};
  return values_[static_cast<std::size_t>(channel)]->text();
}

bool frmLive::Start() {
  if (polling_) {
    // Closed and opened again before the last poll ended: it goes on.
    stop_ = false;
    return true;
  }
  if (link_.TaskRunning()) return false;
  stop_ = false;
  const bool started = link_.Start(ReadChannelDescriptions(link_, record_, ChannelReads::DescriptionsAndLevels), [this](bool ok) {
    QTimer::singleShot(0, this, [this, ok] {
      if (!ok || stop_) {
        SetPolling(false);
        return;
      }
      ShowChannels();
      StartPolling();
    });
  });
  if (started) SetPolling(true);
  return started;
}

void frmLive::StartPolling() {
  elapsed_.start();
  const bool started =
      link_.Start(PollReadings(link_, record_, 0, &stop_, [this] { ShowReadings(); }), [this](bool ok) {
        QTimer::singleShot(0, this, [this, ok] {
          SetPolling(false);
          // Stopped, then asked to go on before the stop was seen through.
          if (ok && !stop_ && isVisible()) StartPolling();
        });
      });
  SetPolling(started);
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

void frmLive::ShowChannels() {
  for (auto& lines : levels_) {
    for (QLineSeries*& line : lines) {
      if (line != nullptr) chart_->removeSeries(line);
      delete line;
      line = nullptr;
    }
  }
  for (QLineSeries*& series : series_) {
    if (series != nullptr) chart_->removeSeries(series);
    delete series;
    series = nullptr;
  }
  double highest = 1;
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    const auto c = static_cast<std::size_t>(channel);
    const std::string unit(rules::Trim(record_.GasUnit(channel)));
    const QString title = ChannelTitle(record_, channel) +
                          (unit.empty() ? QString() : QStringLiteral(" ") + ToQString(unit));
    names_[c]->setText(title);
    values_[c]->setEnabled(record_.GasEnabled(channel));
    if (!record_.GasEnabled(channel)) continue;
    auto* series = new QLineSeries(chart_);
    series->setName(title);
    series->setPen(QPen(kChannelColours[c], 2));
    chart_->addSeries(series);
    series->attachAxis(timeAxis_);
    series->attachAxis(valueAxis_);
    series_[c] = series;
    const std::array<float, 2> levels = {record_.Warning(channel), record_.Alarm(channel)};
    for (std::size_t level = 0; level < levels.size(); ++level) {
      if (!Plotted(levels[level])) continue;
      auto* line = new QLineSeries(chart_);
      QPen pen(kChannelColours[c], 1, level == 0 ? Qt::DashLine : Qt::DashDotLine);
      line->setPen(pen);
      line->append(0, levels[level]);
      line->append(kPlotSeconds, levels[level]);
      chart_->addSeries(line);
      line->attachAxis(timeAxis_);
      line->attachAxis(valueAxis_);
      levels_[c][level] = line;
      highest = std::max(highest, static_cast<double>(levels[level]));
    }
  }
  // The level lines explain themselves by colour and dash; only readings
  // appear in the legend.
  for (const auto& lines : levels_) {
    for (QLineSeries* line : lines) {
      if (line == nullptr) continue;
      const auto markers = chart_->legend()->markers(line);
      for (auto* marker : markers) marker->setVisible(false);
    }
  }
  valueAxis_->setRange(0, highest * 1.1);
}

void frmLive::ShowReadings() {
  const double now = static_cast<double>(elapsed_.elapsed()) / 1000.0;
  const double from = std::max(0.0, now - kPlotSeconds);
  double highest = valueAxis_->max();
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    const auto c = static_cast<std::size_t>(channel);
    const float value = record_.LimitValue(channel);
    values_[c]->setText(ToQString(FormatGasValue(value, record_.GasPoint(channel))));
    QLineSeries* series = series_[c];
    if (series == nullptr || !Plotted(value)) continue;
    series->append(now, value);
    // Older points have scrolled out of the plot.
    while (series->count() > 0 && series->at(0).x() < from) series->remove(0);
    highest = std::max(highest, static_cast<double>(value) * 1.1);
  }
  for (auto& lines : levels_) {
    for (QLineSeries* line : lines) {
      if (line == nullptr || line->count() != 2) continue;
      const double level = line->at(0).y();
      line->replace(0, QPointF(from, level));
      line->replace(1, QPointF(std::max(from + kPlotSeconds, now), level));
    }
  }
  timeAxis_->setRange(from, std::max(from + kPlotSeconds, now));
  valueAxis_->setRange(0, highest);
}

}  // namespace kv
