#include "cli/cli_io.h"

#include "cli/progress_line.h"
#include "qtedge/latin1.h"

#include <cstdio>

namespace kv::cli {

QString Text(std::string_view latin1) { return ToQString(latin1); }

std::string Bytes(const QString& text) { return ToLatin1(text); }

void WriteStdout(std::string_view bytes) {
  ProgressLine::Clear();
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void PrintLine(std::string_view bytes) {
  std::string line(bytes);
  line += '\n';
  WriteStdout(line);
}

void PrintErrorLine(const QString& message) {
  // A progress line on the terminal is erased first; the next update redraws it.
  ProgressLine::Clear();
  const std::string line = Bytes(message) + '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void PrintError(const QString& message) { PrintErrorLine(QStringLiteral("kvmaint: ") + message); }

void PrintError(std::string_view message) { PrintError(Text(message)); }

}  // namespace kv::cli
