#pragma once
// The rows of the reply catalogue: one row per reply key (code, comma, access
// letter). The dispatcher checks and normalises a frame, finds the row of its
// key and lets the row apply the data fields.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/instrument.h"
#include "protocol/dispatcher.h"
#include "protocol/token.h"

namespace kv {

// One reply on its way through its row.
struct ReplyContext {
  std::string_view frame;  // as received from STX to the terminator, noise before it dropped
  std::string_view text;   // the raw reply text between block and ETX, control characters kept
  std::string_view line;   // printable text from the key on, checksum dropped
  char c0;                 // first character after the head, taken from the raw frame
  const clsToken& fields;  // data fields split at "," and CR
  clsInstrument* record;   // never null in a row that needs the record
  ReplySink& sink;         // what the reply reports
  LinkEffects& effects;

  int Count() const { return fields.TokenCount(); }
  // An absent field (index at or beyond Count()) reads as "".
  const std::string& Field(int index) const;
  clsInstrument& Record() const { return *record; }
};

enum class NeedsRecord : bool { kNo = false, kYes = true };

struct ReplyRow {
  std::string key;
  NeedsRecord needsRecord;
  std::function<bool(ReplyContext&)> apply;
};
using ReplyRows = std::vector<ReplyRow>;

// Each catalogue file adds the rows of its codes.
void AddIdentityRows(ReplyRows& rows);  // identity, firmware, clock, station and user lists
void AddSettingRows(ReplyRows& rows);   // global settings, small groups, methane elimination
void AddServiceRows(ReplyRows& rows);   // calibration and service, memory access, live readings
void AddChannelRows(ReplyRows& rows);   // gas names and channel configuration
void AddLevelRows(ReplyRows& rows);     // alarm levels, calibration, catalytic constants
void AddTableRows(ReplyRows& rows);     // conversion tables and the PID sensor table

// Every key the dispatcher answers, sorted.
std::vector<std::string> CatalogueKeys();

}  // namespace kv
