#include "cli/cli_io.h"

#include <ostream>

#include "cli/cli_context.h"
#include "cli/progress_line.h"
#include "common/printable_text.h"
#include "qtedge/latin1.h"

namespace kv::cli {

QString Text(std::string_view latin1) { return ToQString(latin1); }

std::string Bytes(const QString& text) { return ToLatin1(text); }

void WriteStdout(std::string_view bytes) {
  ProgressLine::Clear();
  std::ostream& out = *CurrentContext().out;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
}

void PrintLine(std::string_view bytes) {
  std::string line(bytes);
  line += '\n';
  WriteStdout(line);
}

void PrintErrorLine(const QString& message) {
  // A progress line on the terminal is erased first; the next update redraws it.
  ProgressLine::Clear();
  // Names from files and instruments end up in messages: their control
  // characters are shown, not obeyed.
  const std::string line = PrintableText(Bytes(message), true) + '\n';
  std::ostream& err = *CurrentContext().err;
  err.write(line.data(), static_cast<std::streamsize>(line.size()));
  err.flush();
}

void PrintError(const QString& message) { PrintErrorLine(QStringLiteral("kvmaint: ") + message); }

void PrintError(std::string_view message) { PrintError(Text(message)); }

}  // namespace kv::cli
