#pragma once
// The reply dispatcher: checks one received frame, finds its row in the
// command catalogue and applies its fields to the instrument record and its
// results to the sink of the exchange.
#include <array>
#include <string>
#include <string_view>

#include "common/datetime.h"
#include "model/instrument.h"
#include "protocol/reply_sink.h"

namespace kv {

// What a reply does to the session, as opposed to what it reports (that goes
// into the ReplySink). The link implements it; tests use a recording fake, so
// the dispatcher runs without a port.
class LinkEffects {
 public:
  virtual ~LinkEffects() = default;
  // One line for the session log ("<<< Format error >>>" and the like).
  virtual void AddLog(std::string_view text) = 0;
  // An "RC,R" reply naming the model: the link becomes Connected, and when it
  // was not connected before it raises OnConnect and logs its message.
  virtual void ConnectReplyReceived() = 0;
  // The seven live readings of a "DN,R" reply, after they were stored in the
  // record: the link raises them as an event.
  virtual void ReadingsReceived(const std::array<Single, kSensorChannels>& values) = 0;
  // The complete last line handed to the port. Writes whose acknowledgement
  // echoes the whole line (HC, A1, A2, AS, AW, SA, AC) are compared with it.
  virtual std::string_view LastLineSent() const = 0;
  // The PC's date and time (the link owns the clock); an HC reply stores the
  // instrument clock's offset from it.
  virtual DateTime Now() const = 0;
};

// Applies one complete frame (STX .. terminator; bytes before the STX are line
// noise and set aside, see FrameView). Returns true when the reply is
// accepted. Fields go into `sink.record`, results into `sink`. Without a
// record only replies that do not touch one can be accepted.
bool ApplyReply(std::string_view frame, ReplySink& sink, LinkEffects& effects);

}  // namespace kv
