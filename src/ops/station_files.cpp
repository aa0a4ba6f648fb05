#include "ops/station_files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/csv_field.h"
#include "files/send_check.h"
#include "ops/station_settings.h"

namespace kv {
namespace {

constexpr const char* kReportHeader =
    "time,serial,settings written,settings to write,verification,result,failed step,message,backup,port\r\n";
// Names tried for a report of one second.
constexpr int kReportNamesPerSecond = 100;

std::string ResultText(const StationOutcome& outcome) {
  std::string text(PhaseText(outcome.result));
  if (!outcome.failedStep.empty()) text += " at " + outcome.failedStep;
  return text;
}

std::string CsvRow(const StationOutcome& o) {
  const std::string fields[] = {o.time, o.serial, std::to_string(o.settingsWritten),
                                std::to_string(o.settingsToWrite), o.verification,
                                std::string(PhaseText(o.result)), o.failedStep, o.message, o.backupPath, o.port};
  std::string row;
  bool first = true;
  for (const std::string& field : fields) {
    if (!first) row += ',';
    row += csv::CsvField(field, csv::Formulas::Guard);
    first = false;
  }
  return row + "\r\n";
}

void MakeParent(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ignored);
}

}  // namespace

std::string StationReportCsv(const std::vector<StationOutcome>& outcomes) {
  std::string csv = kReportHeader;
  for (const StationOutcome& o : outcomes) csv += CsvRow(o);
  return csv;
}

std::string StationReportPath(const std::string& folder, const DateTime& started) {
  char name[48];
  std::snprintf(name, sizeof name, "station-%04d%02d%02d-%02d%02d%02d.csv", started.year, started.month,
                started.day, started.hour, started.minute, started.second);
  return (std::filesystem::path(folder) / name).string();
}

StationReportFile::~StationReportFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool StationReportFile::Opened(std::FILE* file, const std::string& path) {
  file_ = file;
  path_ = path;
  if (std::fputs(kReportHeader, file_) < 0 || std::fflush(file_) != 0) {
    error_ = std::strerror(errno);
    return false;
  }
  return true;
}

bool StationReportFile::Claim(const std::string& path) {
  MakeParent(path);
  const std::string stem = path.size() > 4 ? path.substr(0, path.size() - 4) : path;
  for (int number = 0; number < kReportNamesPerSecond; ++number) {
    const std::string name = number == 0 ? path : stem + "_" + std::to_string(number) + ".csv";
    // "x": created here or not at all, never another run's file.
    if (std::FILE* file = std::fopen(name.c_str(), "wbx")) return Opened(file, name);
    if (errno != EEXIST) {
      error_ = std::strerror(errno);
      return false;
    }
  }
  error_ = "all " + std::to_string(kReportNamesPerSecond) + " report names of this second are taken";
  return false;
}

bool StationReportFile::Create(const std::string& path) {
  MakeParent(path);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error_ = std::strerror(errno);
    return false;
  }
  return Opened(file, path);
}

bool StationReportFile::Append(const StationOutcome& outcome) {
  if (file_ == nullptr) return false;
  if (std::fputs(CsvRow(outcome).c_str(), file_) < 0 || std::fflush(file_) != 0) {
    error_ = std::strerror(errno);
    return false;
  }
  return true;
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
  std::string line = (o.port.empty() ? std::string() : o.port + "  ") + o.time + "  " + (o.serial.empty() ? std::string(kNoSerial) : o.serial) + "  " +
                     "written " + std::to_string(o.settingsWritten) + "/" + std::to_string(o.settingsToWrite) +
                     "  " + (o.verification.empty() ? std::string("-") : o.verification) + "  " + ResultText(o);
  if (!o.message.empty()) line += ": " + o.message;
  if (o.result == StationPhase::Failed) line += std::string(o.message.empty() ? ". " : " ") + kTakeFailedInstrumentOff;
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
