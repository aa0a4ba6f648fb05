// The instrument acknowledges a write by repeating the line it was sent.
// Lines that carry their values in decimal must be read back in decimal even
// where the read reply of the same code is hexadecimal: with a value of 10 or
// more ("12" read as 0x12) the echo would otherwise never match and the write
// would be retried and given up.
#include "protocol/dispatcher_fixture.h"
#include "protocol/write_lines.h"

namespace kv {
namespace {

using testing::Frame;
using testing::RecordingLink;

struct EchoCase {
  std::string code;
  std::function<bool(clsInstrument&)> prepare;  // sets a value of 10 or more
  std::function<std::string(const clsInstrument&)> line;
};

std::vector<EchoCase> DecimalWrites() {
  return {
      {"US", [](clsInstrument& r) { return r.SetZeroForce(2, 12) && r.SetZeroForce(6, 10); },
       [](const clsInstrument& r) { return WriteLineUS(r, WriteTarget::Wire); }},
      {"IT", [](clsInstrument& r) { return r.SetGasType(4, 12); }, WriteLineIT},
      {"GP", [](clsInstrument& r) { return r.SetGasPoint(3, 10); }, WriteLineGP},
      {"XB", [](clsInstrument& r) { return r.SetConfermation(12), true; }, WriteLineXB},
      {"WB",
       [](clsInstrument& r) {
         r.SetLBMode(10);
         r.SetBarHoleTime(45);
         r.SetLeakBeep(11);
         return true;
       },
       WriteLineWB},
      {"AL", [](clsInstrument& r) { return r.SetUsePasswd(12), true; }, WriteLineAL},
      {"FF", [](clsInstrument& r) { return r.SetIRRange(12), true; }, WriteLineFF},
      {"AP", [](clsInstrument& r) { return r.SetAlarmMode(12), true; }, WriteLineAP},
      {"SM", [](clsInstrument& r) { return r.SetCalCheck(12), true; }, WriteLineSM},
      {"XL", [](clsInstrument& r) { return r.SetLunchBreak(12), true; }, WriteLineXL},
      {"XA", [](clsInstrument& r) { return r.SetAlarmSilence(12), true; }, WriteLineXA},
      {"XW", [](clsInstrument& r) { return r.SetLogOverWrite(12), true; }, WriteLineXW},
      {"AT", [](clsInstrument& r) { return r.SetAlarmO2(12), true; }, WriteLineAT},
      {"XC", [](clsInstrument& r) { return r.SetLogaClear(12), true; }, WriteLineXC},
      {"LP",
       [](clsInstrument& r) {
         r.SetHcMode(12);
         r.SetCurrHc(10);
         return true;
       },
       WriteLineLP},
      {"FH", [](clsInstrument& r) { return r.SetCATOtherEV(12), true; }, WriteLineFH},
  };
}

TEST(DispatcherWriteEchoTest, DecimalWriteLineIsAcceptedAsItsOwnEcho) {
  for (const EchoCase& c : DecimalWrites()) {
    clsInstrument record;
    ASSERT_TRUE(c.prepare(record)) << c.code;
    const std::string line = c.line(record);
    SCOPED_TRACE(line);
    ASSERT_EQ(line.substr(0, 5), c.code + ",W,");
    RecordingLink link;
    link.lastLineSent = BuildCommandLine(line);
    EXPECT_TRUE(ApplyReply(Frame(line), &record, link));
  }
}

// The echo is still compared: a different decimal value refuses it.
TEST(DispatcherWriteEchoTest, DecimalEchoOfAnotherValueIsRefused) {
  const std::vector<std::pair<std::string, std::function<void(clsInstrument&)>>> cases = {
      {"US,W,@,0,11,0,0,0,0,", [](clsInstrument& r) { (void)r.SetZeroForce(2, 12); }},
      {"IT,W,0,1,2,3,11,@,@,",
       [](clsInstrument& r) {
         for (const int k : {0, 1, 2, 3, 4}) (void)r.SetGasType(k, static_cast<Integer>(k));
         (void)r.SetGasType(4, 12);
       }},
      {"XB,W,18,", [](clsInstrument& r) { r.SetConfermation(12); }},
      {"WB,W,12,45,1,",
       [](clsInstrument& r) {
         r.SetLBMode(10);
         r.SetBarHoleTime(45);
         r.SetLeakBeep(1);
       }},
  };
  for (const auto& [echo, prepare] : cases) {
    SCOPED_TRACE(echo);
    clsInstrument record;
    prepare(record);
    RecordingLink link;
    EXPECT_FALSE(ApplyReply(Frame(echo), &record, link));
  }
}

// A record that was never read holds an interval of 0 seconds, which has no
// code: its line carries the default code, and that echo must be taken, or
// the write of a whole record is resent until it fails.
TEST(DispatcherWriteEchoTest, IntervalEchoMatchesTheCodeTheLineCarried) {
  for (const Integer seconds : {0, 5, 10, 60, 300, 600, 7}) {
    SCOPED_TRACE(seconds);
    clsInstrument record;
    record.SetIntervals(seconds);
    const std::string line = WriteLineXP(record);
    RecordingLink link;
    link.lastLineSent = BuildCommandLine(line);
    EXPECT_TRUE(ApplyReply(Frame(line), &record, link));
  }
  clsInstrument record;
  record.SetIntervals(60);
  RecordingLink link;
  EXPECT_FALSE(ApplyReply(Frame("XP,W,3,"), &record, link)) << "30 s echoed for 60 s";
}

}  // namespace
}  // namespace kv
