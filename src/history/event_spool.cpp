#include "history/event_spool.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>

namespace kv::history {
namespace {

constexpr const char* kSuffix = ".event";

// Each field as "name length\n" and its bytes and "\n": any bytes fit.
struct Field {
  const char* name;
  std::string Event::*member;
};
constexpr Field kFields[] = {{"uid", &Event::uid},         {"serial", &Event::serial},
                             {"model", &Event::model},     {"time", &Event::time},
                             {"user", &Event::user},       {"operation", &Event::operation},
                             {"result", &Event::result},   {"detail", &Event::detail},
                             {"file", &Event::file},       {"snapshot", &Event::snapshot}};

std::string Encode(const Event& event) {
  std::string text;
  for (const Field& field : kFields) {
    const std::string& value = event.*field.member;
    text += std::string(field.name) + " " + std::to_string(value.size()) + "\n" + value + "\n";
  }
  return text;
}

std::optional<Event> Decode(const std::string& text) {
  Event event;
  std::size_t at = 0;
  for (const Field& field : kFields) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos) return std::nullopt;
    std::istringstream head(text.substr(at, end - at));
    std::string name;
    std::size_t size = 0;
    if (!(head >> name >> size) || name != field.name || end + 1 + size + 1 > text.size() ||
        text[end + 1 + size] != '\n') {
      return std::nullopt;
    }
    event.*field.member = text.substr(end + 1, size);
    at = end + 1 + size + 1;
  }
  if (at != text.size() || event.uid.empty()) return std::nullopt;
  event.hasSnapshot = !event.snapshot.empty();
  return event;
}

}  // namespace

std::string SpoolFolderOf(const std::string& historyPath) { return historyPath + ".waiting"; }

bool SpoolEvent(const std::string& folder, const Event& event, std::string* error) {
  std::error_code failed;
  std::filesystem::create_directory(folder, failed);  // only beside an existing history
  // Named by the event's time and the moment it is kept, so that the names'
  // order is the events' order.
  char kept[24];
  std::snprintf(kept, sizeof kept, "%020lld",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                           std::chrono::system_clock::now().time_since_epoch())
                                           .count()));
  const std::string name = folder + "/" + event.time + " " + kept + " " + event.uid;
  const std::string partial = name + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out << Encode(event);
    out.flush();
    if (!out) {
      *error = "cannot write " + partial + ": " + std::strerror(errno);
      std::filesystem::remove(partial, failed);
      return false;
    }
  }
  std::filesystem::rename(partial, name + kSuffix, failed);
  if (failed) {
    *error = "cannot write " + name + kSuffix + ": " + failed.message();
    std::filesystem::remove(partial, failed);
    return false;
  }
  return true;
}

std::vector<SpooledEvent> SpooledEvents(const std::string& folder) {
  std::vector<std::string> paths;
  std::error_code failed;
  for (const auto& entry : std::filesystem::directory_iterator(folder, failed)) {
    if (entry.path().extension() == kSuffix) paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<SpooledEvent> events;
  for (const std::string& path : paths) {
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (std::optional<Event> event = Decode(text)) events.push_back({path, std::move(*event)});
  }
  return events;
}

}  // namespace kv::history
