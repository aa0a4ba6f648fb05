#include "protocol/dispatcher.h"

#include <algorithm>
#include <string>

#include "protocol/catalogue_rows.h"
#include "protocol/framing.h"
#include "protocol/reply_fields.h"
#include "protocol/token.h"

namespace kv {
namespace {

// STX, station (2), block (2), at least "XX,A", ETX, checksum (2), terminator.
constexpr std::size_t kMinimumFrameLength = 14;
// c0: the character after "XX,A," in the raw frame (1-based position 11).
constexpr std::size_t kFirstDataIndex = 10;
// Station and block in front of the reply text, checksum digits behind it
// (after the control characters are gone).
constexpr std::size_t kStationAndBlock = 4;
constexpr std::size_t kChecksumDigits = 2;
constexpr std::size_t kKeyLength = 4;      // "XX,A"
constexpr std::size_t kDataOffset = 5;     // after "XX,A,"

ReplyRows SortedRows() {
  ReplyRows rows;
  AddIdentityRows(rows);
  AddSettingRows(rows);
  AddServiceRows(rows);
  AddChannelRows(rows);
  AddLevelRows(rows);
  AddTableRows(rows);
  std::sort(rows.begin(), rows.end(),
            [](const ReplyRow& a, const ReplyRow& b) { return a.key < b.key; });
  return rows;
}

const ReplyRows& Catalogue() {
  static const ReplyRows rows = SortedRows();
  return rows;
}

const ReplyRow* FindRow(std::string_view key) {
  const ReplyRows& rows = Catalogue();
  const auto it = std::lower_bound(rows.begin(), rows.end(), key,
                                   [](const ReplyRow& row, std::string_view k) { return row.key < k; });
  return it != rows.end() && it->key == key ? &*it : nullptr;
}

// The reply text from the key on: CR becomes ",", control characters go,
// then station, block and checksum digits are cut off.
std::string ReplyLine(std::string_view frame) {
  std::string text(frame);
  std::replace(text.begin(), text.end(), kCR, ',');
  text = StripControlChars(text);
  if (text.size() <= kStationAndBlock + kChecksumDigits) {
    return {};
  }
  return text.substr(kStationAndBlock, text.size() - kStationAndBlock - kChecksumDigits);
}

}  // namespace

std::vector<std::string> CatalogueKeys() {
  std::vector<std::string> keys;
  for (const ReplyRow& row : Catalogue()) {
    keys.push_back(row.key);
  }
  return keys;
}

bool ApplyReply(std::string_view frame, ReplySink& sink, LinkEffects& effects) {
  if (!ChecksumMatches(frame)) {
    effects.AddLog(kChecksumErrorLog);
    return false;
  }
  if (frame.size() < kMinimumFrameLength) {
    effects.AddLog(kFormatErrorLog);
    return false;
  }
  const char c0 = frame[kFirstDataIndex];
  const std::string line = ReplyLine(frame);
  const std::string_view key = std::string_view(line).substr(0, kKeyLength);
  const ReplyRow* row = FindRow(key);
  if (row == nullptr) {
    effects.AddLog(kResponseErrorLog);
    return false;
  }
  clsToken fields;
  fields.AddDelimiters("\r");
  fields.AddDelimiters(",");
  const std::string_view data =
      line.size() > kDataOffset ? std::string_view(line).substr(kDataOffset) : std::string_view();
  if (!fields.SetSource(data)) {
    effects.AddLog(kFormatErrorLog);  // more fields than any reply carries
    return false;
  }
  if (row->needsRecord == NeedsRecord::kYes && sink.record == nullptr) {
    return false;
  }
  ReplyContext ctx{frame, line, c0, fields, sink.record, sink, effects};
  return row->apply(ctx);
}

}  // namespace kv
