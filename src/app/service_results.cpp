#include "app/service_results.h"

#include "protocol/format_gas_value.h"
#include "qtedge/latin1.h"
#include "rules/setting_names.h"

namespace kv {
namespace {

QString GasValue(const clsInstrument& record, int channel, float value) {
  return ToQString(FormatGasValue(value, record.GasPoint(channel)));
}

}  // namespace

QString ChannelTitle(const clsInstrument& record, int channel) {
  const std::string name = rules::GridGasName(record, channel);
  if (name.empty()) return QStringLiteral("Channel %1").arg(channel + 1);
  return ToQString(name);
}

ResultTable CalibrationTable(const ops::CalibrationResults& results) {
  ResultTable table{{QStringLiteral("Channel"), QStringLiteral("Gas"), QStringLiteral("Status")}, {}};
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    const int status = results.status[static_cast<std::size_t>(channel)];
    table.rows.push_back({QString::number(channel + 1), ChannelTitle(results.channels, channel),
                          status < 0 ? QStringLiteral("-") : QString::number(status)});
  }
  return table;
}

ResultTable HistoryTable(const clsInstrument& record) {
  ResultTable table{{QStringLiteral("Channel"), QStringLiteral("Gas"), QStringLiteral("Calibrated"),
                     QStringLiteral("Before"), QStringLiteral("After")},
                    {}};
  for (int channel = 0; channel < kSensorChannels; ++channel) {
    const QString when = ToQString(rules::CalibrationDateText(record.CalibDate(channel)));
    table.rows.push_back({QString::number(channel + 1), ChannelTitle(record, channel), when,
                          GasValue(record, channel, record.CalibBefore(channel)),
                          GasValue(record, channel, record.CalibAfter(channel))});
  }
  return table;
}

}  // namespace kv
