#pragma once
// The transactions of the link: the full read, the upload of changed settings
// and the single-purpose service operations. Each sends one line at a time and
// waits for its reply on the session tick, so nothing here blocks. A
// Transaction is only started (`link.Start(...)`); a Task<bool> may also be
// awaited inside another transaction.
//
// Records, result sinks, out-parameters and callbacks are held by reference
// until the transaction ends: the caller keeps them alive that long. A
// transaction ends as failed on the first exchange that does not complete (no
// answer, line fault, link lost, Cancel).
#include <functional>
#include <string>
#include <string_view>

#include "common/datetime.h"
#include "link/link.h"
#include "link/task.h"
#include "link/transactions_dump.h"
#include "model/instrument.h"
#include "protocol/reply_sink.h"

namespace kv {

// ---- completion polls -----------------------------------------------------------
// Long operations (data clearing, factory settings, defaults, calibrations) are
// polled until the instrument says it has finished. An instrument that never
// does is given up after this many seconds of polling, counted in session
// ticks spent between polls.
inline constexpr int kCompletionPollLimitSeconds = 180;
inline constexpr int kCompletionPollLimitTicks =
    kCompletionPollLimitSeconds * uclTzif::kTicksPerSecond;

// Pauses between polls, in session ticks.
inline constexpr int kDataClearPollTicks = 50;
inline constexpr int kFactoryPollTicks = 20;
inline constexpr int kFactorySettleTicks = 20;  // after the factory settings are in
inline constexpr int kDefaultsPollTicks = 50;
inline constexpr int kCalibrationPollTicks = 20;
// After the power-off command the port stays closed this long before the link resets.
inline constexpr int kPowerOffSettleTicks = 50;

// ---- the full read --------------------------------------------------------------
// Clears `record` and fills it from the instrument's 200 replies of the read
// list. Raises InstMessage for each message the record collects and
// Progress(done, 200) after each accepted reply. Change_SubBoard is False
// afterwards in every case.
Transaction GetInstrument(uclTzif& link, clsInstrument& record);
// The same read, to be awaited inside a longer transaction.
Task<bool> ReadInstrument(uclTzif& link, clsInstrument& record);

// ---- the upload -----------------------------------------------------------------
// One line of an upload as it went out.
struct SentWriteLine {
  std::string commandText;  // as sent, without framing
  // The head with the entry number for a table line ("XS,W,06", "G1,W,3"), the
  // head alone otherwise ("GP,W").
  std::string label;
  bool acknowledged = false;
};
using SentWriteObserver = std::function<void(const SentWriteLine&)>;

// Sends every setting group whose change flags are set, in the instrument's
// order, then "XV,W," always and "UD,W," when `saveAsDefault` is set. The flags
// of each acknowledged group are cleared. Stops at the first line that is not
// acknowledged. True only when every line sent was acknowledged (at least
// one always is sent). Progress(done, total) after each acknowledged line;
// `onLine` sees every line sent, the refused one included.
Transaction SetInstrument(uclTzif& link, clsInstrument& record, bool saveAsDefault,
                          SentWriteObserver onLine = {});
// The same upload, to be awaited inside a longer transaction.
Task<bool> UploadChanges(uclTzif& link, clsInstrument& record, bool saveAsDefault,
                         const SentWriteObserver& onLine);

// Marks the whole record for writing, then uploads it, sets the instrument's
// clock to now and erases its data logger, stopping at the first that fails.
Transaction SetInitValue(uclTzif& link, clsInstrument& record, bool saveAsDefault = false);
Task<bool> InitialiseInstrument(uclTzif& link, clsInstrument& record, bool saveAsDefault);

// ---- service operations ---------------------------------------------------------
// Switches the instrument off ("RO,W,"), closes the port, waits and resets the
// link. Always true, as the window expects; `acknowledged`, when given, tells
// whether the instrument took the command.
Transaction BodyPowerOff(uclTzif& link, bool* acknowledged = nullptr);
// The same power-off, to be awaited inside a longer transaction; the port
// stays closed `settleTicks` before the link resets.
Task<bool> SwitchOff(uclTzif& link, bool* acknowledged, int settleTicks = kPowerOffSettleTicks);
// Erases the data logger and polls until the instrument has finished.
Task<bool> BodyDataClear(uclTzif& link);
// Restores the factory settings and polls until the instrument has finished.
Transaction RestoreFactorySet(uclTzif& link);
Task<bool> RestoreFactorySettings(uclTzif& link);
// Loads the default settings of `kind`; true when the instrument reports "0".
Transaction DefaultInstrument(uclTzif& link, int kind);
Task<bool> LoadDefaultSettings(uclTzif& link, int kind);
// Sets the instrument's clock.
Task<bool> SetDateTime(uclTzif& link, DateTime date);
Transaction SetPump(uclTzif& link, bool on);
Task<bool> SwitchPump(uclTzif& link, bool on);
// Calibrations: start, then poll until the seven channel results are in
// `results` (zeroResult, spanResult).
Transaction ZeroCal(uclTzif& link, ReplySink& results);
Transaction SpanCal(uclTzif& link, ReplySink& results, std::string data);
Task<bool> CalibrateZero(uclTzif& link, ReplySink& results);
Task<bool> CalibrateSpan(uclTzif& link, ReplySink& results, Named<std::string> data);
// The result digit of `channel` (0..6) of the calibration whose results went
// into `results`, or -1 when there is none.
int ZeroStatus(const ReplySink& results, int channel);
int SpanStatus(const ReplySink& results, int channel);
// Reads the latest calibration history record into `record`, raising
// InterMessage for each message it collects. Status Ready after a failure.
Transaction GetLatestHistory(uclTzif& link, clsInstrument& record);
Task<bool> ReadLatestCalibrations(uclTzif& link, clsInstrument& record);
// Reads only the serial number ("IN,R,") into `record`.
Transaction ReadSerialNumber(uclTzif& link, clsInstrument& record);
Task<bool> ReadSerial(uclTzif& link, clsInstrument& record);
// One probe answered within a tick or two, on a port opened without the
// connect sequence; true when an instrument answered and the link is
// Connected. The link's reply time-out and retries are its own again after.
Task<bool> ProbeQuickly(uclTzif& link);
// The serial number alone ("IN,R,") with the same short patience.
Task<bool> ReadSerialQuickly(uclTzif& link, clsInstrument& record);
// The current readings ("DN,R,") into `record`, kDenstyPollTicks apart:
// `count` of them (0: no limit), ending early, true, once `*stop` is set
// (looked at after each reply and each pause), false at the first failed
// exchange. `onReadings` runs after each reply.
Transaction PollReadings(uclTzif& link, clsInstrument& record, int count,
                         const bool* stop = nullptr, std::function<void()> onReadings = {});
// The same poll, to be awaited; `onReadings` is held by reference.
Task<bool> PollDensities(uclTzif& link, clsInstrument& record, int count, const bool* stop,
                         const std::function<void()>& onReadings);

}  // namespace kv
