#include "ops/station_files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "files/backup_name.h"
#include "files/file_sink.h"
#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "files/send_check.h"
#include "ops/station_settings.h"

namespace kv {
namespace {

// A CSV field, quoted when it holds a separator, a quote or a line end.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string ResultText(const StationOutcome& outcome) {
  std::string text(PhaseText(outcome.result));
  if (!outcome.failedStep.empty()) text += " at " + outcome.failedStep;
  return text;
}

}  // namespace

BackupResult WriteDatedBackup(const clsInstrument& record, const std::string& folder, const DateTime& day) {
  BackupResult result;
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  AtomicFileSink sink = AtomicFileSink::FirstFreeName(BackupPaths(folder, day));
  const KvdWriteResult written = WriteMaintenanceFile(record, sink);
  if (sink.AllNamesTaken()) {
    result.error = "all " + std::to_string(kBackupNamesPerDay) + " backup names of the day are taken";
  } else if (!written.ok) {
    result.error = written.error;
  } else {
    result.path = sink.CommittedPath();
  }
  return result;
}

std::string StationReportCsv(const std::vector<StationOutcome>& outcomes) {
  std::string csv = "time,serial,settings written,settings to write,verification,result,failed step,"
                    "message,backup\r\n";
  for (const StationOutcome& o : outcomes) {
    const std::string fields[] = {o.time, o.serial, std::to_string(o.settingsWritten),
                                  std::to_string(o.settingsToWrite), o.verification,
                                  std::string(PhaseText(o.result)), o.failedStep, o.message, o.backupPath};
    bool first = true;
    for (const std::string& field : fields) {
      if (!first) csv += ',';
      csv += CsvField(field);
      first = false;
    }
    csv += "\r\n";
  }
  return csv;
}

std::string StationReportPath(const std::string& folder, const DateTime& started) {
  char name[48];
  std::snprintf(name, sizeof name, "station-%04d%02d%02d-%02d%02d%02d.csv", started.year, started.month,
                started.day, started.hour, started.minute, started.second);
  return (std::filesystem::path(folder) / name).string();
}

std::string WriteStationReport(const std::string& path, const std::vector<StationOutcome>& outcomes) {
  std::error_code ignored;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ignored);
  AtomicFileSink sink(path);
  if (!sink.Write(StationReportCsv(outcomes)) || !sink.Commit()) return sink.Error();
  return {};
}

std::vector<std::string> DistributedFileProblems(std::string_view content) {
  std::vector<std::string> problems;
  for (const FileProblem& problem : CheckFileToSend(content)) {
    problems.push_back(problem.line > 0 ? "line " + std::to_string(problem.line) + ": " + problem.reason
                                        : problem.reason);
  }
  return problems;
}

std::string OutcomeLine(const StationOutcome& o) {
  std::string line = o.time + "  " + (o.serial.empty() ? std::string("(no serial)") : o.serial) + "  " +
                     "written " + std::to_string(o.settingsWritten) + "/" + std::to_string(o.settingsToWrite) +
                     "  " + (o.verification.empty() ? std::string("-") : o.verification) + "  " + ResultText(o);
  if (!o.message.empty()) line += ": " + o.message;
  return line;
}

std::string StationSummary(const std::vector<StationOutcome>& outcomes) {
  int done = 0, failed = 0, skipped = 0;
  for (const StationOutcome& o : outcomes) {
    if (o.result == StationPhase::Done) ++done;
    if (o.result == StationPhase::Failed) ++failed;
    if (o.result == StationPhase::Skipped) ++skipped;
  }
  const std::size_t n = outcomes.size();
  return std::to_string(n) + (n == 1 ? " instrument: " : " instruments: ") + std::to_string(done) + " done, " +
         std::to_string(failed) + " failed, " + std::to_string(skipped) + " skipped";
}

std::vector<std::string> PerInstrumentSummary() {
  std::vector<std::string> lines;
  for (const PerInstrumentSetting& s : PerInstrumentSettings()) {
    lines.push_back(std::string(s.label) + " (" + std::string(s.setting) + "): " + std::string(s.reason));
  }
  return lines;
}

}  // namespace kv
