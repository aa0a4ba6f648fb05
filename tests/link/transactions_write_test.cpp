// The upload: which lines a changed record sends and in what order, flags
// cleared only by an acknowledgement, the end at the first refused line, the
// session log and progress.
#include <gtest/gtest.h>

#include "link/transaction_fakes.h"
#include "link/transactions.h"
#include "link/write_groups.h"

namespace kv::test {
namespace {

class SetInstrumentTest : public TransactionTest {
 protected:
  SetInstrumentTest() {
    AcceptEverything(h.link);
    // A record as it comes from a read: values in, no flag raised. The
    // catalytic channel's full scale lets its levels pass the record check.
    (void)record.SetGasFullScale(0, 100);
    UnitsAsReported(record);
    (void)record.SetXV_(0, 0x12);
    (void)record.SetXV_(1, 0x34);
    record.ClearChangeFlags();
  }

  std::optional<bool> Upload(bool saveAsDefault = false) {
    return Run(SetInstrument(h.link, record, saveAsDefault,
                             [this](const SentWriteLine& line) { sent.push_back(line); }));
  }
  std::vector<std::string> Labels() const {
    std::vector<std::string> labels;
    for (const SentWriteLine& line : sent) labels.push_back(line.label);
    return labels;
  }

  clsInstrument record;
  std::vector<SentWriteLine> sent;
};

TEST(WriteGroupTable, HoldsTheSixtySixGroupsFromTheUserListToSaveAsDefault) {
  const auto groups = WriteGroups();
  ASSERT_EQ(groups.size(), static_cast<std::size_t>(kWriteGroupCount));
  EXPECT_EQ(groups.front().code, "XZ");
  EXPECT_EQ(groups[59].code, "XV");
  EXPECT_EQ(groups[60].code, "ET");
  EXPECT_EQ(groups.back().code, "UD");
}

TEST_F(SetInstrumentTest, AnUnchangedRecordSendsOnlyTheVersionLine) {
  EXPECT_EQ(Upload(), std::optional<bool>(true));
  EXPECT_EQ(Commands(), (std::vector<std::string>{"XV,W,12,34,"}));
}

TEST_F(SetInstrumentTest, SaveAsDefaultAddsTheDefaultLineLast) {
  EXPECT_EQ(Upload(true), std::optional<bool>(true));
  EXPECT_EQ(Commands(), (std::vector<std::string>{"XV,W,12,34,", "UD,W,"}));
}

struct ChangeCase {
  const char* name;
  void (*change)(clsInstrument& record);
  std::vector<std::string> labels;
};
void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class ChangedRecordTest : public SetInstrumentTest,
                          public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangedRecordTest, SendsExactlyTheFlaggedGroupsInTheInstrumentsOrder) {
  GetParam().change(record);
  EXPECT_EQ(Upload(), std::optional<bool>(true));
  EXPECT_EQ(Labels(), GetParam().labels);
  // What the observer saw is what went out.
  std::vector<std::string> texts;
  for (const SentWriteLine& line : sent) texts.push_back(line.commandText);
  EXPECT_EQ(texts, Commands());
}

const ChangeCase kChangeCases[] = {
    // Channel 5 sits on the sub-board: its settings need "ET,W," to take effect.
    {"DecimalPointOfChannel5",
     [](clsInstrument& r) { (void)r.SetGasPoint(5, 2); },
     {"GP,W", "XV,W", "ET,W"}},
    // Names are written for channels 0, 4, 5 and 6 only.
    {"NameOfChannel2", [](clsInstrument& r) { (void)r.SetGasName(2, "H2S"); }, {"XV,W"}},
    {"NameOfChannel4",
     [](clsInstrument& r) { (void)r.SetGasName(4, "IR"); },
     {"GN,W", "XV,W", "ET,W"}},
    {"FullScaleOfChannel1", [](clsInstrument& r) { (void)r.SetGasFullScale(1, 25); }, {"XV,W"}},
    {"ThreeStations",
     [](clsInstrument& r) {
       (void)r.SetXS_(100, "Plant C");
       (void)r.SetXS_(5, "Plant A");
       (void)r.SetXS_(17, "Plant B");
     },
     {"XS,W,06", "XS,W,12", "XS,W,65", "XV,W"}},
    {"GroupsAcrossTheTable",
     [](clsInstrument& r) {
       r.SetBNuserLogoName("LOGO");
       r.SetChange_PIDSpec(16, 0, true);
       (void)r.SetLA_volt(34, 1.5f);
       (void)r.SetG1_(5, "Long name");
       (void)r.SetAltRng(2, 1);
       (void)r.SetWarning(0, 10);
       r.SetSerialNo("SN1");
       (void)r.SetXZ_(3, "User");
     },
     {"XZ,W,04", "IN,W", "A1,W", "LR,W", "G1,W,5", "LA,W,22", "LJ,W,10", "XV,W", "BN,W"}},
    {"TablesTheInstrumentAnsweredInTheOlderForm",
     [](clsInstrument& r) {
       r.SetinvalidG1(true);
       (void)r.SetG1_(5, "Long name");
       r.SetinvalidWB(true);
       r.SetLBMode(1);
       r.SetinvalidLJ(true);
       r.SetPIDName(3, "IBL");
       r.SetPIDLongName(3, "ISOBUTYLENE");
       r.SetinvalidLI(true);
       // A low-range row the editors accept, so only its older form keeps it back.
       r.SetPIDPoint(3, 1, 2);
       r.SetPIDFullScale(3, 1, 50);
       r.SetPIDUnit(3, 1, "ppm");
       r.SetPIDDigit(3, 1, 0.02f);
       r.SetPIDFactor(3, 1, 1);
     },
     {"XV,W"}},
};

INSTANTIATE_TEST_SUITE_P(Changes, ChangedRecordTest, ::testing::ValuesIn(kChangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The last guard on the way to the instrument: a record the editors would
// refuse sends nothing at all, not even the lines before the bad one.
TEST_F(SetInstrumentTest, ARecordTheEditorsWouldRefuseSendsNothing) {
  struct Case {
    const char* what;
    void (*change)(clsInstrument& record);
  };
  const Case cases[] = {
      {"a status word as a level", [](clsInstrument& r) { (void)r.SetWarning(0, -104); }},
      {"a level beyond the full scale", [](clsInstrument& r) { (void)r.SetWarning(0, 101); }},
      {"a comma in a user name", [](clsInstrument& r) { (void)r.SetXZ_(6, "J,DOE"); }},
      {"a semicolon in a station", [](clsInstrument& r) { (void)r.SetXS_(0, "semi;colon"); }},
      {"a name with a control character", [](clsInstrument& r) { (void)r.SetXS_(0, "A\tB"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    clsInstrument changed = record;
    (void)changed.SetXS_(5, "Plant A");  // a good change before the bad one
    c.change(changed);
    EXPECT_EQ(Run(SetInstrument(h.link, changed, false)), std::optional<bool>(false));
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(changed.Change_XS_(5)) << "nothing was acknowledged";
    EXPECT_TRUE(Logged("upload refused: "));
  }
}

TEST_F(SetInstrumentTest, StationLinesCarryTheirNames) {
  (void)record.SetXS_(5, "Plant A");
  EXPECT_EQ(Upload(), std::optional<bool>(true));
  ASSERT_FALSE(Commands().empty());
  EXPECT_EQ(Commands().front().rfind("XS,W,06,Plant A", 0), 0u) << Commands().front();
}

TEST_F(SetInstrumentTest, AcknowledgedGroupsLoseTheirFlags) {
  (void)record.SetGasPoint(5, 2);
  (void)record.SetXS_(5, "Plant A");
  record.SetChange_XV_(0, true);
  EXPECT_EQ(Upload(), std::optional<bool>(true));
  EXPECT_FALSE(record.Change_GasPoint(5));
  EXPECT_FALSE(record.Change_XS_(5));
  EXPECT_FALSE(record.Change_XV_(0));
  EXPECT_FALSE(record.Change_SubBoard());
}

TEST_F(SetInstrumentTest, ARefusedLineKeepsItsFlagsStopsTheUploadAndLogsTheFailure) {
  h.instrument.AnswerBy(SilentTo("A1,W,"));
  (void)record.SetXS_(5, "Plant A");
  (void)record.SetWarning(0, 10);
  record.SetBNuserLogoName("LOGO");

  EXPECT_EQ(Upload(), std::optional<bool>(false));
  const std::vector<std::string>& commands = Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.front().rfind("XS,W,06,", 0), 0u);
  // "A1,W," and its resends end the upload.
  EXPECT_TRUE(std::all_of(commands.begin() + 1, commands.end(),
                          [](const std::string& c) { return c.rfind("A1,W,", 0) == 0; }));
  EXPECT_FALSE(record.Change_XS_(5));
  EXPECT_TRUE(record.Change_Warn(0));
  EXPECT_TRUE(record.Change_BNuserLogoName());

  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent.back().label, "A1,W");
  EXPECT_FALSE(sent.back().acknowledged);

  EXPECT_TRUE(Logged("---Instrument Upload Failed---. Date = 2026/03/05 14:07:"));
  EXPECT_FALSE(Logged("---Instrument Upload Finished---"));
}

TEST_F(SetInstrumentTest, LogsStartAndFinishWithTheElapsedTime) {
  // The instrument takes 75 seconds over the version line.
  h.instrument.AnswerBy([this](const std::string& command) -> std::optional<std::string> {
    if (command.rfind("XV,W,", 0) == 0) h.clock.AdvanceSeconds(75);
    return std::nullopt;
  });
  EXPECT_EQ(Upload(), std::optional<bool>(true));
  EXPECT_TRUE(Logged("---Instrument Upload Started---. Date = 2026/03/05 14:07:09\r\n"));
  EXPECT_TRUE(
      Logged("---Instrument Upload Finished---. Date = 2026/03/05 14:08:24[Time = 00:01:15]"));
}

TEST_F(SetInstrumentTest, ProgressCountsAgainstTheLinesPlannedBeforeSending) {
  (void)record.SetGasPoint(5, 2);
  EXPECT_EQ(Upload(true), std::optional<bool>(true));
  std::vector<std::string> progress;
  for (const auto& event : h.events.Named("Progress")) progress.push_back(event.argument);
  EXPECT_EQ(progress, (std::vector<std::string>{"1/4", "2/4", "3/4", "4/4"}));
}

TEST_F(SetInstrumentTest, ClearsAStaleCancelBeforeSending) {
  h.link.SetCancel(true);
  EXPECT_EQ(Upload(), std::optional<bool>(true));
}

}  // namespace
}  // namespace kv::test
