#include "cli/kvd_files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_io.h"
#include "files/kvd_reader.h"
#include "qtedge/data_folder.h"

namespace kv::cli {

void PrintFileError(const QString& path, int line, std::string_view reason) {
  QString where = path;
  if (line > 0) where += QStringLiteral(":%1").arg(line);
  PrintError(where + QStringLiteral(": ") + Text(reason));
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
  std::ostringstream content;
  content << file.rdbuf();
  if (file.bad()) {
    PrintFileError(path, 0, "cannot read");
    return std::nullopt;
  }
  return content.str();
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
  const std::optional<std::string> content = ReadWholeFile(path);
  if (!content) return false;
  const KvdLoadResult loaded = ReadMaintenanceText(record, *content);
  if (!loaded.complete) {
    PrintFileError(path, loaded.stoppedAtLine, "the file stops here: " + loaded.reason);
    return false;
  }
  return true;
}

}  // namespace kv::cli
