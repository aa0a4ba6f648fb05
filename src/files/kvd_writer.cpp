#include "files/kvd_writer.h"

#include <algorithm>

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

namespace {

// How many fields each record text holds, one per line of the file: the
// layout of a code does not depend on the values it carries.
const std::vector<std::size_t>& FieldCounts() {
  static const std::vector<std::size_t> counts = [] {
    std::vector<std::size_t> fields;
    for (const std::string& text : MaintenanceRecordTexts(clsInstrument{})) {
      fields.push_back(static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')));
    }
    return fields;
  }();
  return counts;
}

}  // namespace

std::optional<std::size_t> WrittenFieldCount(std::string_view code) {
  const std::vector<std::string> texts = MaintenanceRecordTexts(clsInstrument{});
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (std::string_view(texts[i]).substr(0, texts[i].find(',')) == code) return FieldCounts()[i];
  }
  return std::nullopt;
}

namespace {

// Why the reader would not read `text` back as it was written: a comma in a
// value splits it into two fields, a semicolon or a control character ends
// the line. Empty when it reads back the same.
std::string ReadBackProblem(std::string_view text, std::size_t fields) {
  if (text.find(';') != std::string_view::npos) return "a semicolon would end the line there";
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < ' ') return "a control character would end the line there";
  }
  if (static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) != fields) {
    return "a comma inside a value would split it into two fields";
  }
  return {};
}

}  // namespace

KvdWriteResult WriteMaintenanceFile(const clsInstrument& r, FileSink& sink) {
  const std::vector<std::string> texts = MaintenanceRecordTexts(r);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string problem = ReadBackProblem(texts[i], FieldCounts()[i]);
    if (!problem.empty()) {
      const std::string_view head = std::string_view(texts[i]).substr(0, texts[i].find(',', 5));
      return {false, "record " + std::to_string(i + 1) + " (" + std::string(head) +
                         ") cannot be written: " + problem};
    }
  }
  for (const auto& text : texts) {
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
  std::string text;
  for (const auto& record : MaintenanceRecordTexts(r)) text += ScrambleLine(record) + "\r\n";
  return text;
}

}  // namespace kv
