#pragma once
// A history store in memory for the tests: events in the order recorded, the
// instrument summaries derived from them as a real store derives them.
#include <algorithm>
#include <string>
#include <vector>

#include "history/history_store.h"

namespace kv::testsupport {

class MemoryStore final : public history::Store {
 public:
  history::RecordOutcome Record(const history::Event& event) override {
    history::Event kept = event;
    kept.id = static_cast<std::int64_t>(events_.size()) + 1;
    events_.push_back(kept);
    return {true, kept.id, {}};
  }

  std::vector<history::InstrumentSummary> Instruments(std::string* error) override {
    if (!failure_.empty()) return Fail(error, std::vector<history::InstrumentSummary>{});
    std::vector<history::InstrumentSummary> found;
    for (const history::Event& event : events_) {
      auto summary = std::find_if(found.begin(), found.end(),
                                  [&](const auto& s) { return s.serial == event.serial; });
      if (summary == found.end()) summary = found.insert(found.end(), {event.serial, event.model, {}, {}, {}});
      summary->lastSeen = std::max(summary->lastSeen, event.time);
      if (event.result != "ok") continue;
      if (event.operation == history::kOpRead) {
        summary->lastRead = std::max(summary->lastRead, event.time);
      }
      if (event.operation == history::kOpZero || event.operation == history::kOpSpan) {
        summary->lastCalibration = std::max(summary->lastCalibration, event.time);
      }
    }
    return found;
  }

  std::vector<history::Event> Events(const std::optional<std::string>& serial, std::string* error) override {
    if (!failure_.empty()) return Fail(error, std::vector<history::Event>{});
    std::vector<history::Event> found;
    std::copy_if(events_.begin(), events_.end(), std::back_inserter(found),
                 [&](const history::Event& e) { return !serial || e.serial == *serial; });
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.time < b.time; });
    return found;
  }

  std::optional<history::Event> EventById(std::int64_t id, std::string* error) override {
    if (!failure_.empty()) return Fail(error, std::optional<history::Event>{});
    if (id < 1 || id > static_cast<std::int64_t>(events_.size())) return std::nullopt;
    return events_[static_cast<std::size_t>(id - 1)];
  }

  // Every query fails from now on with this message.
  void FailQueries(std::string message) { failure_ = std::move(message); }

 private:
  template <typename T>
  T Fail(std::string* error, T nothing) const {
    if (error != nullptr) *error = failure_;
    return nothing;
  }

  std::vector<history::Event> events_;
  std::string failure_;
};

// An event of `serial` at `time` (the other fields as a successful read).
inline history::Event MakeEvent(std::string serial, std::string time,
                                std::string operation = history::kOpRead,
                                std::string snapshot = {}, std::string result = "ok") {
  history::Event event;
  event.serial = std::move(serial);
  event.model = "KORVIN";
  event.time = std::move(time);
  event.user = "tech";
  event.operation = std::move(operation);
  event.result = std::move(result);
  event.snapshot = std::move(snapshot);
  return event;
}

}  // namespace kv::testsupport
