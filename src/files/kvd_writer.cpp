#include "files/kvd_writer.h"

#include "files/scramble.h"
#include "protocol/write_lines.h"

namespace kv {

std::vector<std::string> MaintenanceRecordTexts(const clsInstrument& r) {
  std::vector<std::string> texts;
  texts.reserve(kFileRecordLines);
  for (const auto& row : FileRecordTable()) {
    for (int line = 0; line < row.lines; ++line) {
      texts.push_back(row.build(r, line));
    }
  }
  return texts;
}

KvdWriteResult WriteMaintenanceFile(const clsInstrument& r, FileSink& sink) {
  for (const auto& text : MaintenanceRecordTexts(r)) {
    if (!sink.Write(ScrambleLine(text) + "\r\n")) {
      return {false, sink.Error()};
    }
  }
  if (!sink.Commit()) {
    return {false, sink.Error()};
  }
  return {true, {}};
}

KvdWriteResult WriteMaintenanceFile(const clsInstrument& r, const std::string& path) {
  AtomicFileSink sink(path);
  return WriteMaintenanceFile(r, sink);
}

std::string MaintenanceFileText(const clsInstrument& r) {
  MemoryFileSink sink;
  (void)WriteMaintenanceFile(r, sink);  // a string sink never fails
  return sink.Take();
}

}  // namespace kv
