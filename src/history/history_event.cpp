#include "history/history_event.h"

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <random>

#include <pwd.h>
#include <unistd.h>

namespace kv::history {
namespace {

std::string_view TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string SerialText(std::string_view serialField) { return std::string(TrimSpaces(serialField)); }

std::string ModelText(std::string_view specType) {
  const std::string_view type = TrimSpaces(specType);
  return type.empty() ? "KORVIN" : "KORVIN type " + std::string(type);
}

std::string EventTime(const DateTime& when) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", when.year, when.month, when.day,
                when.hour, when.minute, when.second);
  return text;
}

std::string CurrentUser() {
  if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_name != nullptr) {
    return entry->pw_name;
  }
  const char* name = std::getenv("USER");
  return name == nullptr ? "" : name;
}

void NoteIfSerialUnknown(Event& event) {
  if (!event.serial.empty()) return;
  event.detail += std::string(event.detail.empty() ? "" : "; ") + "serial number not read";
}

std::string NewEventUid() {
  thread_local std::mt19937_64 random{(static_cast<std::uint64_t>(std::random_device{}()) << 32) ^
                                     std::random_device{}()};
  const std::uint64_t high = (random() & ~0xF000ULL) | 0x4000ULL;            // version 4
  const std::uint64_t low = (random() & ~(3ULL << 62)) | (2ULL << 62);  // the RFC variant
  char text[40];
  std::snprintf(text, sizeof text, "%08llx-%04llx-%04llx-%04llx-%012llx",
                static_cast<unsigned long long>(high >> 32), static_cast<unsigned long long>((high >> 16) & 0xFFFF),
                static_cast<unsigned long long>(high & 0xFFFF), static_cast<unsigned long long>(low >> 48),
                static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
  return text;
}

std::string NotRecordedText(const RecordOutcome& outcome) {
  return "history not recorded: " + (outcome.error.empty() ? std::string("unknown error") : outcome.error);
}

}  // namespace kv::history
