#include "cli/kvd_files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cli/cli_io.h"
#include "files/kvd_reader.h"
#include "files/send_check.h"
#include "model/instrument_settings.h"
#include "qtedge/data_folder.h"

namespace kv::cli {

void PrintFileError(const QString& path, int line, std::string_view reason) {
  QString where = path;
  if (line > 0) where += QStringLiteral(":%1").arg(line);
  PrintError(where + QStringLiteral(": ") + Text(reason));
}

std::optional<std::string> ReadFileToSend(const QString& path) {
  std::optional<std::string> content = ReadWholeFile(path);
  if (!content) return std::nullopt;
  const std::vector<FileProblem> problems = CheckFileToSend(*content);
  for (const FileProblem& problem : problems) PrintFileError(path, problem.line, problem.reason);
  if (!problems.empty()) {
    PrintError("nothing was sent");
    return std::nullopt;
  }
  return content;
}

bool FileToSend::Read(const QString& givenPath) {
  path = givenPath;
  std::optional<std::string> checked = ReadFileToSend(path);
  if (!checked) return false;
  content = std::move(*checked);
  return true;
}

clsInstrument FileOverRecord(const clsInstrument& current, const std::string& checkedContent) {
  clsInstrument fromFile;
  CopyInstrument(fromFile, current, false);
  fromFile.ClearChangeFlags();
  (void)ReadMaintenanceText(fromFile, checkedContent);  // checked complete before
  return fromFile;
}

std::optional<std::string> ReadWholeFile(const QString& path) {
  std::error_code ignored;
  if (std::filesystem::is_directory(ToFsPath(path), ignored)) {
    PrintFileError(path, 0, "is a folder, not a file");
    return std::nullopt;
  }
  std::ifstream file(ToFsPath(path), std::ios::binary);
  if (!file) {
    PrintFileError(path, 0, std::string("cannot open: ") + std::strerror(errno));
    return std::nullopt;
  }
  // Read up to one byte past the bound: a file that big is no maintenance
  // file, and reading on would only fill the memory.
  std::string content(kMaxMaintenanceFileBytes + 1, '\0');
  file.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (file.bad()) {
    PrintFileError(path, 0, "cannot read");
    return std::nullopt;
  }
  content.resize(static_cast<std::size_t>(file.gcount()));
  if (content.size() > kMaxMaintenanceFileBytes) {
    PrintFileError(path, 0, "the file is larger than " + std::to_string(kMaxMaintenanceFileBytes / 1024) +
                                " KiB, far more than any maintenance data file");
    return std::nullopt;
  }
  return content;
}

std::vector<std::string_view> SplitLines(std::string_view content) {
  std::vector<std::string_view> lines;
  while (!content.empty()) {
    const std::size_t end = content.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      lines.push_back(content);
      break;
    }
    lines.push_back(content.substr(0, end));
    const bool crlf = content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n';
    content.remove_prefix(end + (crlf ? 2 : 1));
  }
  return lines;
}

bool LoadMaintenanceFile(clsInstrument& record, const QString& path) {
  return ReportLoad(path, ReadMaintenanceFile(record, ToFsPath(path).string()));
}

bool ReportLoad(const QString& path, const KvdLoadResult& loaded) {
  if (loaded.complete) return true;
  if (loaded.stoppedAtLine == 0) {
    PrintFileError(path, 0, loaded.reason);
  } else {
    PrintFileError(path, loaded.stoppedAtLine, "the file stops here: " + loaded.reason);
  }
  return false;
}

}  // namespace kv::cli
