#pragma once
// A calibration certificate: one page naming the instrument, each channel
// with its gas, span value, zero and span result, the date, the technician,
// the next due date and a line to sign. Drawn by the report's PDF writer.
#include <optional>
#include <string>

#include "fleet/calibration_due.h"
#include "history/history_store.h"
#include "model/instrument.h"
#include "report/report_content.h"

namespace kv::report {

struct CertificateSources {
  history::Event calibration;          // a successful zero, span or calibration-history event
  std::optional<history::Event> zero;  // for a span: the zero of the same instrument before it
  // The instrument's settings as last read before the calibration (gases,
  // span values, "Calibration Time Limit"); nullopt when never read.
  std::optional<clsInstrument> settings;
  std::string technician;
  fleet::CalibrationDefaults defaults;
};

// Why `event` certifies nothing ("" when it can): not a calibration, or one that failed.
std::string WhyNoCertificate(const history::Event& event);

ReportContent BuildCertificate(const CertificateSources& sources);

}  // namespace kv::report
