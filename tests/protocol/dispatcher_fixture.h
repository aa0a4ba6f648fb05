#pragma once
// Shared pieces of the dispatcher tests: real frames, a recording link and a
// fresh record per case.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/instrument.h"
#include "protocol/dispatcher.h"
#include "protocol/framing.h"
#include "protocol/reply_sink.h"

namespace kv::testing {

inline const std::string kAckText(1, kACK);
inline const std::string kNakText(1, kNAK);
inline const std::string kSubText(1, kSUB);

// A reply text framed as the instrument sends it (block "00", EOT).
inline std::string Frame(std::string_view replyText) { return BuildCommandLine(replyText, kEOT); }

// Records everything the dispatcher hands to the link, and is the sink of the
// exchange: the results (busyPoll, zeroResult, dumpList...) land in it.
class RecordingLink : public LinkEffects, public ReplySink {
 public:
  void AddLog(std::string_view text) override { log.emplace_back(text); }
  void ConnectReplyReceived() override { ++connects; }
  void ReadingsReceived(const std::array<Single, kSensorChannels>& values) override {
    readings.push_back(values);
  }
  std::string_view LastLineSent() const override { return lastLineSent; }
  DateTime Now() const override { return now; }

  bool Logged(std::string_view text) const {
    for (const auto& line : log) {
      if (line == text) return true;
    }
    return false;
  }

  std::vector<std::string> log;
  int connects = 0;
  std::vector<std::array<Single, kSensorChannels>> readings;
  std::string lastLineSent;
  DateTime now{2026, 3, 5, 14, 7, 9};
};

// The dispatcher as the link runs it, with `link` as the exchange's sink
// filling `record` (null: no record).
inline bool ApplyReply(std::string_view frame, clsInstrument* record, RecordingLink& link) {
  link.record = record;
  return kv::ApplyReply(frame, link, link);
}

// One reply of a table-driven test: what the record and link look like before,
// the reply text, whether it is accepted, and what it must leave behind.
struct ReplyCase {
  std::string name;
  std::string reply;  // unframed reply text, e.g. "VP,R,1234"
  bool accepted;
  std::function<void(const clsInstrument&, const RecordingLink&)> check;
  std::function<void(clsInstrument&, RecordingLink&)> prepare = nullptr;
};

// Runs every case on a fresh record and link.
inline void RunReplyCases(const std::vector<ReplyCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + ": " + ToReadable(c.reply));
    clsInstrument record;
    RecordingLink link;
    if (c.prepare) c.prepare(record, link);
    EXPECT_EQ(ApplyReply(Frame(c.reply), &record, link), c.accepted);
    if (c.check) c.check(record, link);
  }
}

// Joins reply fields with commas.
inline std::string Fields(const std::vector<std::string>& fields) {
  std::string text;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) text += ',';
    text += fields[i];
  }
  return text;
}

// Sets fields of a channel that a test depends on; the setters only fail
// outside the record, which the tests never address.
inline void SetChannel(clsInstrument& record, int channel, Integer type, Integer places,
                       Single fullScale = 100.0F) {
  EXPECT_TRUE(record.SetGasType(channel, type));
  EXPECT_TRUE(record.SetGasPoint(channel, places));
  EXPECT_TRUE(record.SetGasFullScale(channel, fullScale));
}

}  // namespace kv::testing
