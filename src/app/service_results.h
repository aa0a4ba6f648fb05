#pragma once
// The results of the service operations as table rows: one row per sensor
// channel, named by its gas, for the calibrations and the calibration history.
#include <QString>
#include <QStringList>
#include <vector>

#include "model/instrument.h"
#include "ops/service_operations.h"

namespace kv {

struct ResultTable {
  QStringList headers;
  std::vector<QStringList> rows;
};

// The gas name of channel 0..6 ("CH4"), or "Channel 1".. when the record has none.
QString ChannelTitle(const clsInstrument& record, int channel);

// Zero or span calibration: channel, gas, the status digit the instrument
// reported ("-" where it reported none).
ResultTable CalibrationTable(const ops::CalibrationResults& results);

// The latest calibration history record: channel, gas, date, readings
// before and after.
ResultTable HistoryTable(const clsInstrument& record);

}  // namespace kv
