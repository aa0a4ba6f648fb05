#pragma once
// What station mode keeps on disk: the dated backup of each instrument
// read, the run report, and the texts they share with the history.
#include <string>
#include <string_view>
#include <vector>

#include "common/datetime.h"
#include "ops/station_run.h"
#include "model/instrument.h"

namespace kv {

struct BackupResult {
  std::string path;   // the backup written
  std::string error;  // "" when written
};

// Writes `record` to the first free dated backup name of `day` in `folder`
// (created when missing), claimed only once complete.
BackupResult WriteDatedBackup(const clsInstrument& record, const std::string& folder, const DateTime& day);


// The run report: a header and one row per instrument.
std::string StationReportCsv(const std::vector<StationOutcome>& outcomes);
// The report's default name in `folder` for a run started at `started`:
// "station-yyyyMMdd-HHmmss.csv".
std::string StationReportPath(const std::string& folder, const DateTime& started);
// Writes the report in one piece (never half written); "" or what failed.
std::string WriteStationReport(const std::string& path, const std::vector<StationOutcome>& outcomes);

// Why a distributed file cannot be rolled out, one text per problem
// ("line 12: ..."); empty when it can: complete, and every name and value
// one the instrument takes.
std::vector<std::string> DistributedFileProblems(std::string_view content);

// One instrument as a line: time, serial, settings written, verification,
// result (with the failed step and what the instrument holds).
std::string OutcomeLine(const StationOutcome& outcome);
// "3 instruments: 2 done, 1 failed, 0 skipped".
std::string StationSummary(const std::vector<StationOutcome>& outcomes);
// The per-instrument settings as printed before a run, one per line.
std::vector<std::string> PerInstrumentSummary();

}  // namespace kv
