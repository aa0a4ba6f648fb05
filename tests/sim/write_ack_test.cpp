// Writes as the program sends them: each is acknowledged in the form the
// program's dispatcher accepts, and the instrument holds the written value
// afterwards.
#include <functional>
#include <set>
#include <string_view>
#include <utility>

#include "model/instrument_settings.h"
#include "protocol/write_lines.h"
#include "sim/sim_handlers.h"
#include "sim_fixture.h"

namespace kv::sim::testing {
namespace {

class SimWriteTest : public SimSession {
 protected:
  // Sends a write line built from the program's record and hands the
  // acknowledgement to the program's dispatcher.
  bool Write(const std::string& line) {
    SCOPED_TRACE(line);
    const std::string reply = Ask(line);
    EXPECT_FALSE(reply.empty()) << "no acknowledgement";
    return !reply.empty() && ApplyReply(reply, &record, link);
  }
};

const SettingInfo& Setting(std::string_view name) {
  for (const SettingInfo& setting : AllSettings()) {
    if (setting.name == name) return setting;
  }
  ADD_FAILURE() << "no setting " << name;
  return AllSettings().front();
}

struct WriteCase {
  std::string name;
  std::function<void(clsInstrument&)> change;  // on the program's record
  std::function<std::string(const clsInstrument&)> line;
  std::vector<std::pair<std::string_view, int>> settings;  // what must now match
};

void Must(bool stored) { ASSERT_TRUE(stored); }

const std::vector<WriteCase>& WriteCases() {
  static const std::vector<WriteCase> cases = {
      {"gas name of an optional channel",
       [](clsInstrument& r) { Must(r.SetGasName(4, "NH3")); },
       WriteLineGN,
       {{"GasName", 4}}},
      {"warning level (whole frame echoed)",
       [](clsInstrument& r) { Must(r.SetWarning(2, 7.5F)); },
       WriteLineA1,
       {{"Warning", 2}}},
      {"alarm level set to no data",
       [](clsInstrument& r) { Must(r.SetAlarm(3, -101.0F)); },
       WriteLineA2,
       {{"Alarm", 3}}},
      {"station name",
       [](clsInstrument& r) { Must(r.SetXS_(20, "EAST JETTY")); },
       [](const clsInstrument& r) { return WriteLineXS(r, 20); },
       {{"XS_", 20}}},
      {"user name",
       [](clsInstrument& r) { Must(r.SetXZ_(31, "Z.LAST")); },
       [](const clsInstrument& r) { return WriteLineXZ(r, 31); },
       {{"XZ_", 31}}},
      {"PID entry names",
       [](clsInstrument& r) {
         r.SetPIDLongName(12, "ARSINE");
         r.SetPIDName(12, "ASH");
       },
       [](const clsInstrument& r) { return WriteLineLS(r, 12); },
       {{"PIDLongName", 12}, {"PIDName", 12}}},
      {"PID low range levels",
       [](clsInstrument& r) {
         r.SetPIDWarn(3, 1, 2.5F);
         r.SetPIDFactor(3, 1, 61.0F);
       },
       [](const clsInstrument& r) { return WriteLineLI(r, 3); },
       {{"PIDWarn", 3 * 2 + 1}, {"PIDFactor", 3 * 2 + 1}}},
      {"user conversion entry",
       [](clsInstrument& r) {
         Must(r.SetLO_longname(3, "DIESEL") && r.SetLO_name(3, "DSL") && r.SetLO_fc(3, 250));
       },
       [](const clsInstrument& r) { return WriteLineLO(r, 3); },
       {{"LO_longname", 3}, {"LO_name", 3}, {"LO_fc", 3}}},
      {"conversion levels with a switched-off level",
       [](clsInstrument& r) { Must(r.SetLA_warn(31, 12.0F) && r.SetLA_alarm(31, -121.0F)); },
       [](const clsInstrument& r) { return WriteLineLA(r, 31); },
       {{"LA_warn", 31}, {"LA_alarm", 31}}},
      {"logging interval",
       [](clsInstrument& r) { r.SetIntervals(180); },
       WriteLineXP,
       {{"Intervals", 0}}},
      {"password", [](clsInstrument& r) { r.SetPassword("1357"); }, WriteLineAQ, {{"Password", 0}}},
      {"catalytic span value (raw counts)",
       [](clsInstrument& r) { Must(r.SetAutoCalib(0, 60.0F)); },
       WriteLineSA,
       {{"AutoCalib", 0}}},
      {"channel output mapping",
       [](clsInstrument& r) { Must(r.SetUG_(3, 0) && r.SetGasEnabled(3, false)); },
       WriteLineUG,
       {{"UG_", 3}, {"GasEnabled", 3}}},
      {"bar hole time above 9 (decimal echo)",
       [](clsInstrument& r) { r.SetBarHoleTime(12); },
       WriteLineWB,
       {{"BarHoleTime", 0}}},
      {"confirmation above 9 (decimal echo)",
       [](clsInstrument& r) { r.SetConfermation(12); },
       WriteLineXB,
       {{"Confermation", 0}}},
      {"zero setting above 9 (decimal echo)",
       [](clsInstrument& r) { Must(r.SetZeroForce(3, 11)); },
       [](const clsInstrument& r) { return WriteLineUS(r, WriteTarget::Wire); },
       {{"ZeroForce", 3}}},
      {"sensor type",
       [](clsInstrument& r) { Must(r.SetGasType(3, 2)); },
       WriteLineIT,
       {{"GasType", 3}}},
      {"serial number",
       [](clsInstrument& r) { r.SetSerialNo("KV99-1234"); },
       WriteLineIN,
       {{"SerialNo", 0}}},
      {"zero setting of a channel without sensor",
       [](clsInstrument& r) { Must(r.SetZeroForce(2, 16)); },
       [](const clsInstrument& r) { return WriteLineUS(r, WriteTarget::Wire); },
       {{"ZeroForce", 2}}},
      {"catalytic ppm ratio",
       [](clsInstrument& r) { r.SetCATppm1st(2000); },
       WriteLineAC,
       {{"CATppm1st", 0}}},
      {"full scale of the PID channel",
       [](clsInstrument& r) { Must(r.SetGasFullScale(5, 100.0F)); },
       WriteLineGF,
       {{"GasFullScale", 5}}},
      {"LCD contrast (hexadecimal)",
       [](clsInstrument& r) { r.SetLcdContrast(12); },
       WriteLineUL,
       {{"LcdContrast", 0}}},
      {"infrared range switching",
       [](clsInstrument& r) { Must(r.SetAutoRange(4, 0)); },
       WriteLineFF,
       {{"AutoRange", 4}}},
      {"long gas name",
       [](clsInstrument& r) { Must(r.SetG1_(5, "NITROGEN DIOXIDE")); },
       [](const clsInstrument& r) { return WriteLineG1(r, 5); },
       {{"G1_", 5}}},
      {"selected station",
       [](clsInstrument& r) { Must(r.SetXV_(0, 5)); },
       WriteLineXV,
       {{"XV_", 0}}},
  };
  return cases;
}

TEST_F(SimWriteTest, EachWriteIsAcknowledgedAndStored) {
  for (const WriteCase& c : WriteCases()) {
    SCOPED_TRACE(c.name);
    record = State();
    c.change(record);
    for (const auto& [name, index] : c.settings) {
      const SettingInfo& s = Setting(name);
      ASSERT_NE(s.get(record, index), s.get(State(), index))
          << name << ": the case changes nothing";
    }
    EXPECT_TRUE(Write(c.line(record)));
    for (const auto& [name, index] : c.settings) {
      const SettingInfo& s = Setting(name);
      EXPECT_EQ(s.get(State(), index), s.get(record, index)) << name << "(" << index << ")";
    }
  }
  EXPECT_TRUE(link.log.empty()) << link.log.front();
}

// A later read returns what was written.
TEST_F(SimWriteTest, ReadAfterWriteReturnsTheWrittenValue) {
  record = State();
  Must(record.SetWarning(2, 7.5F));
  ASSERT_TRUE(Write(WriteLineA1(record)));
  clsInstrument fresh;
  ASSERT_TRUE(ApplyReply(Ask("GP,R,"), &fresh, link));
  ASSERT_TRUE(ApplyReply(Ask("A1,R,"), &fresh, link));
  EXPECT_FLOAT_EQ(fresh.Warning(2), 7.5F);
}

// Writing back everything the instrument holds, group by group as the write
// transaction and the maintenance file lay them out, is accepted everywhere
// and changes nothing.
TEST_F(SimWriteTest, WritingBackEverySettingIsAcceptedAndChangesNothing) {
  const clsInstrument before = State();
  record = State();
  for (const FileRecordRow& row : FileRecordTable()) {
    if (row.code == "GJ") continue;  // filed, never sent
    for (int line = 0; line < row.lines; ++line) {
      const std::string text =
          row.code == "US" ? WriteLineUS(record, WriteTarget::Wire) : row.build(record, line);
      EXPECT_TRUE(Write(text)) << text;
    }
  }
  EXPECT_TRUE(Write(WriteLineIN(record)));
  EXPECT_TRUE(Write(WriteLineHN(record)));
  for (const SettingInfo& setting : AllSettings()) {
    for (int i = 0; i < setting.count; ++i) {
      EXPECT_EQ(setting.get(State(), i), setting.get(before, i)) << setting.name << "(" << i << ")";
    }
  }
}

TEST(SimCommandTableTest, EveryCommandHasOneHandler) {
  std::set<std::pair<std::string_view, char>> seen;
  for (const auto rows : {SettingWriteRows(), ServiceRows()}) {
    for (const CommandRow& row : rows) {
      EXPECT_TRUE(seen.insert({row.code, row.access}).second) << row.code << "," << row.access;
    }
  }
  std::set<std::string_view> reads;
  for (const auto rows : {DeviceReadRows(), ChannelReadRows()}) {
    for (const ReadRow& row : rows) EXPECT_TRUE(reads.insert(row.code).second) << row.code;
  }
}

TEST_F(SimWriteTest, WriteTheInstrumentCannotApplyIsRefused) {
  const clsInstrument before = State();
  // Station entry 255 lies outside the list: refused, and the program does not take the refusal.
  const std::string reply = Ask("XS,W,FF,NOWHERE,");
  EXPECT_EQ(reply, BuildCommandLine(std::string("XS,W,") + kNAK, kEOT, "00"));
  EXPECT_FALSE(ApplyReply(reply, &record, link));
  EXPECT_EQ(Ask("LB,W,7F,NOWHERE,NOW,0064,"),
            BuildCommandLine(std::string("LB,W,") + kNAK, kEOT, "00"));
  EXPECT_EQ(Ask("ZZ,W,1,"), BuildCommandLine(std::string("ZZ,W,") + kNAK, kEOT, "00"));
  EXPECT_EQ(State().XS_(127), before.XS_(127));
  // The third decimal point is no number: the first two are not taken either.
  EXPECT_EQ(Ask("GP,W,2,2,X,0,2,1,0,"), BuildCommandLine(std::string("GP,W,") + kNAK, kEOT, "00"));
  EXPECT_EQ(State().GasPoint(0), before.GasPoint(0));
}

}  // namespace
}  // namespace kv::sim::testing
