#pragma once
// What station mode keeps on disk: the dated backup of each instrument
// read, the run report, and the texts they share with the history.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/datetime.h"
#include "ops/station_run.h"
#include "model/instrument.h"

namespace kv {

// The run report: a header and one row per instrument. A cell a
// spreadsheet would take as a formula (=, +, -, @, tab, CR first) starts
// with a single quote.
std::string StationReportCsv(const std::vector<StationOutcome>& outcomes);
// The report's default name in `folder` for a run started at `started`:
// "station-yyyyMMdd-HHmmss.csv".
std::string StationReportPath(const std::string& folder, const DateTime& started);

// The report written as the run goes: the header when it is opened, then
// one row per instrument, flushed at once, so that a run killed keeps
// every instrument it finished.
class StationReportFile {
 public:
  StationReportFile() = default;
  ~StationReportFile();
  StationReportFile(const StationReportFile&) = delete;
  StationReportFile& operator=(const StationReportFile&) = delete;

  // The default name: the first of `path`, "<stem>_1.csv" ... that does not
  // exist yet, claimed by creating it (two runs started in the same second
  // never share one). False with Error() set.
  bool Claim(const std::string& path);
  // A name the user gave: created or emptied.
  bool Create(const std::string& path);
  // One instrument's row; false with Error() set.
  bool Append(const StationOutcome& outcome);

  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }
  const std::string& Error() const { return error_; }

 private:
  bool Opened(std::FILE* file, const std::string& path);
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string error_;
};

// Why a distributed file cannot be rolled out, one text per problem
// ("line 12: ..."); empty when it can: complete, and every name and value
// one the instrument takes.
std::vector<std::string> DistributedFileProblems(std::string_view content);

// What a technician does with an instrument that failed: the run leaves it
// on and reads the next one once this one no longer answers.
inline constexpr const char* kTakeFailedInstrumentOff = "Take it off the adapter; the line goes on once it is gone.";

// One instrument as a line: its adapter on a run with several, time, serial, settings written, verification,
// result (with the failed step and what the instrument holds); a failed one
// ends with kTakeFailedInstrumentOff.
std::string OutcomeLine(const StationOutcome& outcome);
// "3 instruments: 2 done, 1 failed, 0 skipped".
std::string StationSummary(const std::vector<StationOutcome>& outcomes);
// The per-instrument settings as printed before a run, one per line.
std::vector<std::string> PerInstrumentSummary();

}  // namespace kv
