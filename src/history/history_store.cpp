#include "history/history_store.h"

#include <algorithm>

namespace kv::history {

std::vector<Event> Store::EventList(const std::optional<std::string>& serial, std::size_t offset,
                                    std::size_t limit, std::string* error) {
  std::vector<Event> all = Events(serial, error);
  std::vector<Event> page;
  for (std::size_t i = offset; i < all.size() && page.size() < limit; ++i) {
    Event event = std::move(all[i]);
    event.hasSnapshot = event.hasSnapshot || !event.snapshot.empty();
    event.snapshot.clear();
    page.push_back(std::move(event));
  }
  return page;
}

std::size_t Store::EventCount(const std::optional<std::string>& serial, std::string* error) {
  return Events(serial, error).size();
}

std::optional<Event> Store::LatestSnapshot(const std::string& serial, const std::string& operation,
                                           std::string* error) {
  const std::vector<Event> events = Events(serial, error);
  const auto found = std::find_if(events.rbegin(), events.rend(), [&](const Event& e) {
    return e.serial == serial && e.operation == operation && e.result == "ok" && !e.snapshot.empty();
  });
  if (found == events.rend()) return std::nullopt;
  return *found;
}

}  // namespace kv::history
