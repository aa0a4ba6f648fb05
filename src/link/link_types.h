#pragma once
// Values shared by the link, its transports and the transactions built on it.

namespace kv {

// The transaction state a caller waits on. The numbers are those the control
// has always exposed (there is no 1).
enum class LinkStatus : int {
  Idle = 0,            // not in a transaction
  Ready = 2,           // connected and idle, or a transaction closed
  BlockTransfer = 3,   // replies come as ETB-terminated blocks
  ReadWaiting = 4,     // a read command or the connect probe waits for its reply
  WriteWaiting = 5,    // a write or control command waits for its reply
  Complete = 6,        // the reply was accepted
  Failed = 7,          // retry budget spent, line fault or link lost
  Cancelled = 8,       // abandoned through Cancel
  BinaryTransfer = 9,  // raw bytes of a memory dump
};

// Where the connect sequence stands.
enum class LinkState : int {
  Offline = 0,
  Connecting = 2,
  Connected = 3,
  Reopen = 4,  // the serial port is closed and reopens on the next tick
};

// Line faults a serial port reports.
enum class SerialFault {
  Break,
  Framing,
  Overrun,
  ReceiveOverflow,
  Parity,
  SendBufferFull,
  DeviceControl,
};

// A transaction waits for its reply while Status holds one of these values.
constexpr bool IsWaitingStatus(LinkStatus status) {
  return status == LinkStatus::BlockTransfer || status == LinkStatus::ReadWaiting ||
         status == LinkStatus::WriteWaiting || status == LinkStatus::BinaryTransfer;
}

}  // namespace kv
