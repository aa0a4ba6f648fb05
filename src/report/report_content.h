#pragma once
// What the settings and calibration report says, as headed tables of text,
// before any layout: the PDF writer draws these, and tests can read them
// without a PDF. Text is Latin-1 bytes, as the record holds it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/datetime.h"
#include "fleet/calibration_due.h"
#include "model/instrument.h"

namespace kv::report {

// The instrument answers the connection probe with this model name; the
// record itself holds no model.
inline constexpr std::string_view kInstrumentModel = "KORVIN";

// A calibration falling due within this many days says so (the report, the History window).
inline constexpr int kDueSoonDays = 30;

struct ReportTable {
  std::string heading;
  std::vector<std::string> columns;
  std::vector<int> columnWeights;  // relative widths, one per column
  std::vector<std::vector<std::string>> rows;
  std::string whenEmpty;  // the line printed instead of an empty table
};

struct ReportContent {
  std::string title;
  std::string reportDate;  // "yyyy/MM/dd HH:mm:ss"
  std::vector<ReportTable> tables;
  std::vector<std::string> signatures;  // a ruled line for each
};

// What a report says beyond the record.
struct ReportSources {
  std::string model = std::string(kInstrumentModel);
  // The calibrations the history knows, for a record that holds none (a
  // snapshot, a file, a window that has not read the calibration history).
  std::optional<std::vector<fleet::ChannelCalibration>> historyCalibrations;
  // The intervals where the instrument's "Calibration Time Limit" is 0.
  fleet::CalibrationDefaults defaults;
};

ReportContent BuildReportContent(const clsInstrument& record, const DateTime& reportDate,
                                 const ReportSources& sources);
ReportContent BuildReportContent(const clsInstrument& record, const DateTime& reportDate,
                                 std::string_view model = kInstrumentModel);

// Why a report of `record` cannot be made: it names no instrument (no serial
// number); "" when it does.
std::string WhyNoInstrument(const clsInstrument& record);

}  // namespace kv::report
