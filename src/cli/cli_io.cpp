#include "cli/cli_io.h"

#include "qtedge/latin1.h"

#include <cstdio>

#include <unistd.h>

namespace kv::cli {

QString Text(std::string_view latin1) { return ToQString(latin1); }

std::string Bytes(const QString& text) { return ToLatin1(text); }

void WriteStdout(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void PrintLine(std::string_view bytes) {
  std::string line(bytes);
  line += '\n';
  WriteStdout(line);
}

void PrintErrorLine(const QString& message) {
  const std::string line = Bytes(message) + '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void PrintError(const QString& message) { PrintErrorLine(QStringLiteral("kvmaint: ") + message); }

void PrintError(std::string_view message) { PrintError(Text(message)); }

ProgressLine::ProgressLine() : terminal_(::isatty(STDERR_FILENO) == 1) {}

void ProgressLine::Show(int done, int total) {
  if (!terminal_) return;
  std::fprintf(stderr, "\r%s %d/%d", label_.c_str(), done, total);
  std::fflush(stderr);
  shown_ = true;
}

void ProgressLine::Finish() {
  if (!shown_) return;
  std::fputc('\n', stderr);
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace kv::cli
