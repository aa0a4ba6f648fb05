#include "protocol/dispatcher.h"

#include <algorithm>
#include <string>

#include "protocol/catalogue_rows.h"
#include "protocol/frame_view.h"
#include "protocol/reply_fields.h"
#include "protocol/token.h"

namespace kv {
namespace {

// STX, station (2), block (2), at least "XX,A", ETX, checksum (2), terminator.
constexpr std::size_t kMinimumFrameLength = 14;

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

}  // namespace

std::vector<std::string> CatalogueKeys() {
  std::vector<std::string> keys;
  for (const ReplyRow& row : Catalogue()) {
    keys.push_back(row.key);
  }
  return keys;
}

bool ApplyReply(std::string_view received, ReplySink& sink, LinkEffects& effects) {
  const FrameView frame(received);
  if (!frame.ChecksumMatches()) {
    effects.AddLog(kChecksumErrorLog);
    return false;
  }
  if (frame.Frame().size() < kMinimumFrameLength) {
    effects.AddLog(kFormatErrorLog);
    return false;
  }
  const ReplyRow* row = FindRow(frame.Key());
  if (row == nullptr) {
    effects.AddLog(kResponseErrorLog);
    return false;
  }
  clsToken fields;
  fields.AddDelimiters("\r");
  fields.AddDelimiters(",");
  if (!fields.SetSource(frame.Data())) {
    effects.AddLog(kFormatErrorLog);  // more fields than any reply carries
    return false;
  }
  if (row->needsRecord == NeedsRecord::kYes && sink.record == nullptr) {
    return false;
  }
  ReplyContext ctx{frame.Frame(), frame.Text(), frame.Line(), frame.FirstDataChar(),
                   fields,        sink.record,  sink,         effects};
  return row->apply(ctx);
}

}  // namespace kv
