#include "report/calibration_events.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "fleet/calibration_merge.h"
#include "qtedge/latin1.h"

namespace kv::report {
namespace {

constexpr std::string_view kOk = "ok";

std::string Latin1Of(const QJsonValue& value) { return value.isString() ? ToLatin1(value.toString()) : ""; }

}  // namespace

std::optional<std::vector<fleet::ChannelCalibration>> CalibrationsFromDetail(std::string_view detail) {
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray(detail.data(), static_cast<qsizetype>(detail.size())));
  const QJsonValue channels = document.object().value(QStringLiteral("channels"));
  if (!channels.isArray()) return std::nullopt;
  std::vector<fleet::ChannelCalibration> calibrations;
  for (const QJsonValue& entry : channels.toArray()) {
    const QJsonObject channel = entry.toObject();
    const int number = channel.value(QStringLiteral("channel")).toInt();
    if (number < 1 || number > kSensorChannels) return std::nullopt;
    fleet::ChannelCalibration calibration;
    calibration.channel = number - 1;
    calibration.gas = Latin1Of(channel.value(QStringLiteral("gas")));
    calibration.fitted = channel.value(QStringLiteral("fitted")).toBool(true);
    calibration.calibrated = fleet::ParseDateTime(Latin1Of(channel.value(QStringLiteral("date"))));
    if (calibration.calibrated) {
      calibration.before = Latin1Of(channel.value(QStringLiteral("before_text")));
      calibration.after = Latin1Of(channel.value(QStringLiteral("after_text")));
    }
    calibrations.push_back(std::move(calibration));
  }
  return calibrations;
}

std::optional<std::vector<fleet::ChannelCalibration>> CalibrationsInHistory(
    const std::vector<history::Event>& events) {
  std::optional<std::vector<fleet::ChannelCalibration>> latest;
  for (const history::Event& event : events) {
    if (event.result != kOk) continue;
    if (event.operation == history::kOpCalHistory) {
      const auto read = CalibrationsFromDetail(event.detail);
      if (!read) continue;
      if (!latest) latest.emplace();
      fleet::MergeLatest(*latest, *read);
    } else if (event.operation == history::kOpZero || event.operation == history::kOpSpan) {
      const std::optional<DateTime> when = fleet::ParseDateTime(event.time);
      if (!when) continue;
      if (!latest) latest.emplace();
      fleet::MergeLatest(*latest, fleet::CalibratedChannels(event.detail, *when));
    }
  }
  return latest;
}

}  // namespace kv::report
