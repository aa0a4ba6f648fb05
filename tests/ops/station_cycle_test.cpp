// Station mode on the virtual clock: a line of simulated instruments, each
// read, backed up, written, verified, clocked and switched off, and the
// failing steps that stop one instrument's cycle.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "ops/station_settings.h"
#include "model/instrument_settings.h"
#include "sim/station_fixture.h"

namespace kv::sim::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr int kEnoughTicks = 6000;

// The three settings the distributed file changes, as a unit holds them.
struct Rolled {
  Integer contrast;
  Single coWarning;
  std::string station;
};
Rolled RolledOf(const clsInstrument& r) { return {r.LcdContrast(), r.Warning(3), r.XS_(2)}; }
int ChangesHeld(const clsInstrument& r) {
  const Rolled want = RolledOf(DistributedRecord());
  const Rolled held = RolledOf(r);
  return (held.contrast == want.contrast) + (held.coWarning == want.coWarning) +
         (held.station == want.station);
}

void ExpectOwnSettingsKept(const clsInstrument& final, const clsInstrument& original) {
  EXPECT_EQ(final.SerialNo(), original.SerialNo());
  EXPECT_EQ(final.DummySerial(), original.DummySerial());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(final.SI_(i), original.SI_(i)) << "ME setting " << i;
  EXPECT_EQ(final.HH_(1), original.HH_(1));
  EXPECT_EQ(final.HE_(0), original.HE_(0));
  EXPECT_EQ(final.FL_(0), original.FL_(0));
}

TEST_F(StationLineTest, EachInstrumentOfTheLineGetsTheFileButKeepsItsOwnSettings) {
  const std::vector<clsInstrument> line = {LineInstrument("KV-1001", 10), LineInstrument("KV-1002", 30)};
  StartLine(line, Instruments(2));
  RunFor(kEnoughTicks);

  ASSERT_EQ(result, std::optional<bool>(true));
  ASSERT_EQ(observer.outcomes.size(), 2U);
  const std::vector<clsInstrument> finals = FinalStates();
  for (std::size_t i = 0; i < line.size(); ++i) {
    SCOPED_TRACE(line[i].SerialNo());
    const StationOutcome& outcome = observer.outcomes[i];
    EXPECT_EQ(outcome.serial, line[i].SerialNo());
    EXPECT_EQ(outcome.result, StationPhase::Done) << outcome.message;
    EXPECT_EQ(outcome.verification, "verified");
    EXPECT_EQ(outcome.settingsWritten, 3);
    EXPECT_EQ(ChangesHeld(finals[i]), 3);
    ExpectOwnSettingsKept(finals[i], line[i]);
    EXPECT_TRUE(std::filesystem::exists(outcome.backupPath));
  }
  EXPECT_NE(observer.outcomes[0].backupPath, observer.outcomes[1].backupPath);
  EXPECT_TRUE(Instrument().PoweredOff()) << "the last one is switched off too";
}

TEST_F(StationLineTest, EveryStepOfACycleIsRecordedForItsInstrument) {
  StartLine({LineInstrument("KV-2001", 10)}, Instruments(1));
  RunFor(kEnoughTicks);
  ASSERT_EQ(result, std::optional<bool>(true));
  std::vector<std::string> operations;
  for (const history::Event& event : recorder.events) {
    EXPECT_EQ(event.serial, "KV-2001");
    EXPECT_EQ(event.result, "ok") << event.operation;
    operations.push_back(event.operation);
  }
  EXPECT_THAT(operations, ElementsAre(history::kOpRead, history::kOpTransmit, history::kOpSetClock,
                                      history::kOpPowerOff));
  EXPECT_EQ(recorder.events[0].file, observer.outcomes.at(0).backupPath);
  EXPECT_FALSE(recorder.events[1].snapshot.empty());
}

TEST_F(StationLineTest, AnInstrumentAlreadyDoneInThisRunIsSkippedUnwritten) {
  const clsInstrument twice = LineInstrument("KV-3001", 10);
  StartLine({twice, twice, LineInstrument("KV-3002", 20)}, Instruments(3));
  RunFor(3 * kEnoughTicks);
  ASSERT_EQ(observer.outcomes.size(), 3U);
  EXPECT_EQ(observer.outcomes[0].result, StationPhase::Done);
  EXPECT_EQ(observer.outcomes[1].result, StationPhase::Skipped);
  EXPECT_EQ(observer.outcomes[1].serial, "KV-3001");
  EXPECT_THAT(observer.outcomes[1].message, HasSubstr("already done"));
  EXPECT_EQ(observer.outcomes[2].result, StationPhase::Done);
  EXPECT_EQ(ChangesHeld(FinalStates()[1]), 0) << "the second placing got nothing written";
}

TEST_F(StationLineTest, InstrumentsWithoutASerialNumberAreNeverTakenForEachOther) {
  StartLine({LineInstrument("", 10), LineInstrument("", 20)}, Instruments(2));
  RunFor(2 * kEnoughTicks);
  ASSERT_EQ(observer.outcomes.size(), 2U);
  for (const StationOutcome& outcome : observer.outcomes) {
    EXPECT_EQ(outcome.result, StationPhase::Done) << outcome.message;
    EXPECT_EQ(outcome.serial, kNoSerial);
    EXPECT_THAT(OutcomeLine(outcome), HasSubstr("(no serial)"));
  }
  EXPECT_EQ(ChangesHeld(FinalStates()[1]), 3) << "the second one was written too";
  ASSERT_FALSE(recorder.events.empty());
  for (const history::Event& event : recorder.events) EXPECT_EQ(event.serial, kNoSerial) << event.operation;
}

TEST_F(StationLineTest, WithoutPowerOffOrClockTheInstrumentStaysOnAndItsClockUntouched) {
  StationOptions options = Instruments(1);
  options.verify = false;
  options.setClock = false;
  options.powerOff = false;
  StartLine({LineInstrument("KV-4001", 10)}, options);
  RunFor(kEnoughTicks);
  ASSERT_EQ(result, std::optional<bool>(true));
  EXPECT_EQ(observer.outcomes.at(0).verification, "not verified");
  EXPECT_FALSE(Instrument().PoweredOff());
  EXPECT_EQ(Instrument().Device().InstrumentNow(), clock.Now()) << "no offset was set";
  std::vector<std::string> operations;
  for (const history::Event& event : recorder.events) operations.push_back(event.operation);
  EXPECT_THAT(operations, ElementsAre(history::kOpRead, history::kOpTransmit));
}

TEST_F(StationLineTest, AFileForAnotherChannelLayoutIsRefusedBeforeAnyWrite) {
  clsInstrument otherLayout = DistributedRecord();
  [[maybe_unused]] const bool set = otherLayout.SetGasType(5, otherLayout.GasType(5) == 16 ? 4 : 16);
  const clsInstrument unit = LineInstrument("KV-5001", 10);
  StartLine({unit}, Instruments(1), MaintenanceFileText(otherLayout));
  RunFor(kEnoughTicks);
  ASSERT_EQ(result, std::optional<bool>(false));
  const StationOutcome& outcome = observer.outcomes.at(0);
  EXPECT_EQ(outcome.failedStep, "layout");
  EXPECT_THAT(outcome.message, StartsWith("channel layout differs: channel 6"));
  EXPECT_EQ(ChangesHeld(FinalStates()[0]), 0);
  EXPECT_FALSE(Instrument().PoweredOff()) << "a failed instrument is left on";
}

// The first probe goes unanswered: the run is still waiting when stopped.
class StationUnansweredProbeTest : public StationLineTest {
 protected:
  StationUnansweredProbeTest() : StationLineTest({}, OneFault(FaultKind::Drop, 1)) {}
};

TEST_F(StationUnansweredProbeTest, StoppingWhileWaitingEndsTheRunWithoutAnInstrument) {
  StartLine({LineInstrument("KV-6001", 10)}, StationOptions());
  Run().RequestStop();
  RunFor(50);
  EXPECT_EQ(result, std::optional<bool>(true));
  EXPECT_TRUE(observer.outcomes.empty());
}

TEST_F(StationLineTest, TheNextInstrumentIsReadAsSoonAsItAnswersAfterAPowerOff) {
  StartLine({LineInstrument("KV-1101", 10), LineInstrument("KV-1102", 20), LineInstrument("KV-1103", 30)},
            Instruments(3));
  RunFor(3 * kEnoughTicks);
  ASSERT_EQ(result, std::optional<bool>(true));
  ASSERT_EQ(placedAtMs.size(), 2U);
  ASSERT_EQ(observer.readsStartedMs.size(), 3U);
  for (std::size_t i = 0; i < placedAtMs.size(); ++i) {
    // Placed between two ticks; asked on the next one, read in the same tick.
    EXPECT_LE(observer.readsStartedMs[i + 1] - placedAtMs[i], 100) << "instrument " << i + 2;
  }
  EXPECT_EQ(observer.outcomes.at(2).result, StationPhase::Done);
}

// An instrument that took the power-off command but still answers: the run
// goes on asking and takes neither it nor, without a silence between, a blank
// serial for the next instrument.
struct StillOnCase {
  const char* name;
  std::string first;
  std::string next;
  bool nextTaken;  // while the first had no silence between
};

class StationStillOnTest : public StationLineTest, public ::testing::WithParamInterface<StillOnCase> {};

TEST_P(StationStillOnTest, TheInstrumentJustSwitchedOffIsNotTakenForTheNext) {
  switchesOff = false;
  StartLine({LineInstrument(GetParam().first, 10), LineInstrument(GetParam().next, 20)}, Instruments(2));
  RunUntil([this] { return !observer.outcomes.empty(); }, kEnoughTicks);
  ASSERT_EQ(observer.outcomes.size(), 1U);
  EXPECT_EQ(observer.outcomes[0].result, StationPhase::Done);
  RunFor(50);
  EXPECT_EQ(observer.outcomes.size(), 1U) << "still the first one, taken again: " << OutcomeLine(observer.outcomes.back());
  PlaceNext();
  RunFor(kEnoughTicks);
  if (!GetParam().nextTaken) {
    EXPECT_EQ(observer.outcomes.size(), 1U);
    return;
  }
  ASSERT_EQ(observer.outcomes.size(), 2U);
  EXPECT_EQ(observer.outcomes[1].serial, GetParam().next);
  EXPECT_EQ(observer.outcomes[1].result, StationPhase::Done) << observer.outcomes[1].message;
  EXPECT_LE(observer.readsStartedMs.at(1) - placedAtMs.at(0), 100);
}

INSTANTIATE_TEST_SUITE_P(
    Serials, StationStillOnTest,
    ::testing::Values(StillOnCase{"AnotherSerial", "KV-1201", "KV-1202", true},
                      StillOnCase{"SameSerialPlacedAgain", "KV-1301", "KV-1301", false},
                      StillOnCase{"BlankSerials", "", "", false}),
    [](const ::testing::TestParamInfo<StillOnCase>& info) { return std::string(info.param.name); });

// The line drops during the read (the instrument slipped off the adapter):
// the cycle fails at the read, and the same instrument placed again is done.
class StationHangUpTest : public StationLineTest {
 protected:
  StationHangUpTest() : StationLineTest({}, OneFault(FaultKind::HangUp, 40)) {}
};

TEST_F(StationHangUpTest, ALostReadFailsAndTheInstrumentPlacedAgainIsDone) {
  StartLine({LineInstrument("KV-8001", 10)}, Instruments(2));
  RunFor(2 * kEnoughTicks);
  ASSERT_EQ(observer.outcomes.size(), 2U);
  EXPECT_EQ(observer.outcomes[0].failedStep, "read");
  EXPECT_THAT(observer.outcomes[0].message, HasSubstr("nothing written"));
  EXPECT_EQ(observer.outcomes[0].settingsWritten, 0);
  EXPECT_EQ(observer.outcomes[1].serial, "KV-8001");
  EXPECT_EQ(observer.outcomes[1].result, StationPhase::Done) << observer.outcomes[1].message;
  EXPECT_EQ(ChangesHeld(FinalStates()[0]), 3);
}

// One step refused by the instrument: the cycle stops there, names the step,
// says what the instrument holds, and leaves it on.
struct StepFault {
  const char* name;
  SimDeviceOptions device;
  const char* step;
  const char* messageStart;
};

class StationStepFailureTest : public StationLineTest, public ::testing::WithParamInterface<StepFault> {
 protected:
  StationStepFailureTest() : StationLineTest(GetParam().device) {}
};

TEST_P(StationStepFailureTest, StopsTheCycleAtTheFailingStep) {
  const clsInstrument unit = LineInstrument("KV-7001", 10);
  StartLine({unit}, Instruments(1));
  RunFor(kEnoughTicks);
  ASSERT_EQ(result, std::optional<bool>(false));
  const StationOutcome& outcome = observer.outcomes.at(0);
  EXPECT_EQ(outcome.result, StationPhase::Failed);
  EXPECT_EQ(outcome.failedStep, GetParam().step);
  EXPECT_THAT(outcome.message, StartsWith(GetParam().messageStart));
  EXPECT_FALSE(Instrument().PoweredOff());
  const clsInstrument final = FinalStates()[0];
  ExpectOwnSettingsKept(final, unit);
  // The count of changes written and the line's "plus k of n" agree with
  // what the instrument really holds.
  if (outcome.failedStep == "transmit") {
    EXPECT_EQ(outcome.settingsWritten, ChangesHeld(final));
    EXPECT_LT(outcome.settingsWritten, outcome.settingsToWrite);
    EXPECT_THAT(outcome.message, HasSubstr(std::to_string(outcome.settingsWritten) + " of " +
                                           std::to_string(outcome.settingsToWrite) + " changes"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StationStepFailureTest,
    ::testing::Values(
        StepFault{"RefusedWarningLevel", Refusing("KV-7001", "A1"),
                  "transmit", "transmit failed at CH4 warning level and 6 more (A1,W)"},
        StepFault{"StoredWrongly", StoringWrongly("A1"), "verify", "verify failed: 1 setting not as sent"},
        StepFault{"ClockRefused", Refusing("KV-7001", "HC"), "clock",
                  "clock failed"},
        StepFault{"PowerOffRefused", Refusing("KV-7001", "RO"),
                  "power-off", "power off failed"}),
    [](const ::testing::TestParamInfo<StepFault>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::sim::testing
