#pragma once
// The instrument history: every operation on an instrument, with the
// settings snapshot of reads and transmits, so that any earlier state can be
// looked up and restored. Plain C++; the SQL stores live at the Qt edge.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv::history {

// Operation names as recorded (stable: scripts and reports match on them).
inline constexpr const char* kOpRead = "read";
inline constexpr const char* kOpTransmit = "transmit";
inline constexpr const char* kOpSetClock = "set-clock";
inline constexpr const char* kOpZero = "zero";
inline constexpr const char* kOpSpan = "span";
inline constexpr const char* kOpClearLog = "clear-log";
inline constexpr const char* kOpFactoryRestore = "factory-restore";
inline constexpr const char* kOpLoadDefaults = "load-defaults";
inline constexpr const char* kOpPump = "pump";
inline constexpr const char* kOpCalHistory = "calibration-history";
inline constexpr const char* kOpInitialise = "initialise";
inline constexpr const char* kOpDump = "dump";
inline constexpr const char* kOpPowerOff = "power-off";

// One operation on one instrument.
struct Event {
  std::int64_t id = 0;       // given by the store; 0 before recording
  std::string serial;        // the instrument's serial number, trimmed
  std::string model;         // the instrument's model text, trimmed
  std::string time;          // local time "yyyy-MM-dd HH:mm:ss"
  std::string user;          // operating-system user
  std::string operation;     // one of the kOp names
  std::string result;        // "ok", or what failed
  std::string detail;        // the operation's own result (verification, statuses); may be empty
  std::string file;          // backup, maintenance or image file; may be empty
  std::string snapshot;      // the maintenance data file's bytes (Latin-1) for reads and transmits
  // The event's own name on every computer ("" before recording): the same
  // event forwarded twice to a shared history is kept once.
  std::string uid;
  // Whether the event has a snapshot; lists leave `snapshot` empty and say so here.
  bool hasSnapshot = false;
};

// Where recording ended. A failure never fails the instrument operation: the
// caller reports `error` ("history not recorded: ...") and goes on.
struct RecordOutcome {
  bool recorded = false;
  std::int64_t id = 0;
  std::string error;
  // Not recorded yet, but not lost: the database is busy (locked by another
  // program, a server away) and the event waits to be written.
  bool retry = false;
  // Recorded is accepted: the event waits on the recorder's thread (id 0).
  bool queued = false;
};

// What the operations need: the one call that records an event.
class Recorder {
 public:
  virtual ~Recorder() = default;
  virtual RecordOutcome Record(const Event& event) = 0;
};

// One instrument as the history knows it.
struct InstrumentSummary {
  std::string serial;
  std::string model;
  std::string lastSeen;         // time of the latest event
  std::string lastRead;         // time of the latest successful read; may be empty
  std::string lastCalibration;  // time of the latest successful zero or span; may be empty
};

// The full store: recording plus the queries of the history window and
// `kvmaint history`. Queries that fail return nothing and set `error`.
class Store : public Recorder {
 public:
  // Makes the store ready ahead of its first call (a connection, the schema);
  // false with `error` set. Every call also prepares it when needed.
  virtual bool Prepare(std::string* /*error*/) { return true; }
  virtual std::vector<InstrumentSummary> Instruments(std::string* error) = 0;
  // Events of one serial number, oldest first: "" gives the events whose
  // instrument did not say its serial (a power off), nullopt every event.
  virtual std::vector<Event> Events(const std::optional<std::string>& serial, std::string* error) = 0;
  virtual std::optional<Event> EventById(std::int64_t id, std::string* error) = 0;

  // The queries that cost what they show. The defaults derive them from the
  // calls above; the SQL stores answer them without loading snapshots.
  //
  // Events as Events() gives them, from `offset` at most `limit`, without
  // snapshot bytes (`hasSnapshot` says which have one).
  virtual std::vector<Event> EventList(const std::optional<std::string>& serial, std::size_t offset,
                                       std::size_t limit, std::string* error);
  virtual std::size_t EventCount(const std::optional<std::string>& serial, std::string* error);
  // The latest successful `operation` of `serial` that kept a snapshot, with it.
  virtual std::optional<Event> LatestSnapshot(const std::string& serial, const std::string& operation,
                                              std::string* error);

  // Store and forward: the events not yet forwarded to the shared history,
  // oldest first, with snapshots; and their count.
  virtual std::vector<Event> PendingEvents(std::size_t /*limit*/, std::string* /*error*/) { return {}; }
  virtual std::size_t PendingCount(std::string* /*error*/) { return 0; }
  // Notes these events (by uid) as forwarded.
  virtual bool MarkForwarded(const std::vector<std::string>& /*uids*/, std::string* /*error*/) {
    return true;
  }
  // Ends the statement in progress at once, from any thread (a server that
  // hangs); the call in progress fails and the next one connects afresh.
  virtual void Interrupt() {}

  // ---- Fleet queries (kvmaint fleet): only the rows and snapshots they use.
  // The latest successful read of each serial number that kept a snapshot,
  // with it, ordered by serial number.
  virtual std::vector<Event> LatestReads(std::string* error);
  // Each serial number's latest successful calibration-history event and the
  // successful zero and span events from its time on (every one where it has
  // none), without snapshots, oldest first: what its latest calibration of
  // each channel is found from.
  virtual std::vector<Event> CalibrationEvents(std::string* error);
  // Each serial number with the time of its latest event alone (model and
  // the other times left empty), ordered by serial number.
  virtual std::vector<InstrumentSummary> LastSeen(std::string* error);
  // ---- End of fleet queries.
};

}  // namespace kv::history
