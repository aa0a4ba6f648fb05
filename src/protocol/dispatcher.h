#pragma once
// The reply dispatcher: checks one received frame, finds its row in the
// command catalogue and applies its fields to the instrument record.
#include <array>
#include <string>
#include <string_view>

#include "common/datetime.h"
#include "model/instrument.h"

namespace kv {

// What a reply changes outside the record. The link implements it; tests use a
// recording fake, so the dispatcher runs without a port.
class LinkEffects {
 public:
  virtual ~LinkEffects() = default;
  // One line for the session log ("<<< Format error >>>" and the like).
  virtual void AddLog(std::string_view text) = 0;
  // An "RC,R" reply naming the model: the link becomes Connected, and when it
  // was not connected before it raises OnConnect and logs its message.
  virtual void ConnectReplyReceived() = 0;
  // "BP,R" sets the busy-poll flag, "BP,A" clears it.
  virtual void SetBusyPoll(bool value) = 0;
  // Completion texts of the zero and span calibrations and of the defaults load.
  virtual void SetZeroResult(std::string text) = 0;
  virtual void SetSpanResult(std::string text) = 0;
  virtual void SetDefaultStatus(std::string text) = 0;
  // The seven live readings of a "DN,R" reply, after they were stored.
  virtual void ReadingsReceived(const std::array<Single, kSensorChannels>& values) = 0;
  // One entry of a dump list ("EF,R" / "ES,R"): a 32-character name and its address.
  virtual void DumpListEntry(std::string name, long address) = 0;
  // The complete last line handed to the port. Writes whose acknowledgement
  // echoes the whole line (HC, A1, A2, AS, AW, SA, AC) are compared with it.
  virtual std::string_view LastLineSent() const = 0;
  // The PC's date and time (the link owns the clock); an HC reply stores the
  // instrument clock's offset from it.
  virtual DateTime Now() const = 0;
};

// Applies one complete frame (STX .. terminator; bytes before the STX are line
// noise and set aside, see FrameView). Returns true when the reply is accepted. `record` may be null (no record attached): then only replies
// that do not touch the record can be accepted.
bool ApplyReply(std::string_view frame, clsInstrument* record, LinkEffects& effects);

}  // namespace kv
