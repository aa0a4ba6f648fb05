#pragma once
// The events of the link, in the order the control has always raised them,
// plus Progress for the transactions' progress bar. Every handler has an
// empty default body, so a listener overrides only what it shows.
#include <array>
#include <string>

#include "model/instrument_types.h"

namespace kv {

class LinkListener {
 public:
  virtual ~LinkListener() = default;

  // The connect probe was answered by a KORVIN; the link is Connected.
  virtual void OnConnect() {}
  // Live readings of the seven sensor channels ("DN,R").
  virtual void Densty(const std::array<Single, kSensorChannels>& /*values*/) {}
  // Connect sequence: every fifth probe, with the probe number / 5.
  virtual void ConnectRetry(int /*count*/) {}
  // Messages of the record while the read transaction runs.
  virtual void InstMessage(const std::string& /*text*/) {}
  // The same while the latest history record is read.
  virtual void InterMessage(const std::string& /*text*/) {}
  // The connect sequence gave up.
  virtual void AlarmMessage(const std::string& /*text*/) {}
  // Progress texts of the memory dumps.
  virtual void DumpMessage(const std::string& /*text*/) {}
  // Both modem lines dropped, or the port went away.
  virtual void LinkLost() {}
  // A line was sent or data arrived.
  virtual void StsTransmit() {}
  // A reception left no complete frame behind (or was discarded on Cancel).
  virtual void StsIdle() {}
  // A transaction finished `done` of `total` steps.
  virtual void Progress(int /*done*/, int /*total*/) {}
};

}  // namespace kv
