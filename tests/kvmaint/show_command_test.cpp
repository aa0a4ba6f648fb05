// kvmaint show (text, --json, --group) and kvmaint diff --json, run as the
// real program on maintenance data files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kvmaint/harness/inprocess_support.h"
#include "files/kvd_writer.h"

namespace kv::inproc {
namespace {

using ::testing::HasSubstr;

const std::string kGoldenRecord = KV_SOURCE_DIR "/tests/files/data/golden_record.txt";
const std::string kGoldenShow = KV_SOURCE_DIR "/tests/e2e/data/show_golden.txt";

// The golden record as a maintenance data file, written by kvmaint encode.
class ShowCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.Ok());
    file = dir.File("golden.kvd");
    const ProgramResult encoded = Kvmaint({"encode", kGoldenRecord, "--output", file});
    ASSERT_EQ(encoded.exitCode, 0) << encoded.err;
  }

  Json ShowJson(const std::vector<std::string>& options) {
    std::vector<std::string> args{"show", "--json"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(file);
    const ProgramResult shown = Kvmaint(args);
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    const std::optional<Json> json = ParseJson(shown.out);
    EXPECT_TRUE(json.has_value()) << shown.out;
    return json.value_or(Json{});
  }

  TempDir dir;
  std::string file;
};

TEST_F(ShowCommandTest, PrintsTheGoldenRecordAsTheWindowShowsIt) {
  const ProgramResult shown = Kvmaint({"show", file});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_EQ(shown.out, ReadBytes(kGoldenShow));
}

TEST_F(ShowCommandTest, JsonHasTypedValuesBesideTheWindowsText) {
  const Json json = ShowJson({});
  const Json& h2s = json["channels"][2];
  EXPECT_EQ(h2s["label"].text, "STD3");
  EXPECT_EQ(h2s["warning"]["value"].number, 5.0);
  EXPECT_EQ(h2s["warning"]["text"].text, "5.0 ppm");
  EXPECT_EQ(h2s["warning"]["unit"].text, "ppm");
  EXPECT_EQ(json["channels"][0]["stel"]["text"].text, "*****");

  const Json& latching = json["other"]["alarm_latching"];
  EXPECT_EQ(latching["caption"].text, "Alarm Latching");
  EXPECT_EQ(latching["value"].number, 1.0);
  EXPECT_EQ(latching["text"].text, "Reset");
  EXPECT_EQ(json["identity"]["logging_interval"]["value"].number, 60.0);

  EXPECT_EQ(json["stations"][0]["id"]["value"].text, "MAIN GATE");
  EXPECT_EQ(json["stations"][2]["selected"]["value"].kind, Json::Kind::Bool);
  EXPECT_TRUE(json["stations"][2]["selected"]["value"].boolean);
  EXPECT_EQ(json["stations"].items.size(), 128U);

  const Json& oxygenFollower = json["gas_options"][1]["zero_follower"];
  EXPECT_EQ(oxygenFollower["value"].kind, Json::Kind::Null);
  EXPECT_EQ(oxygenFollower["text"].text, "-----");

  const Json& pid = json["pid_low"][0];
  EXPECT_EQ(pid["point"]["value"].number, 2.0);
  EXPECT_EQ(pid["point"]["text"].text, "1/100");
  EXPECT_EQ(pid["1st"]["text"].text, "1.00 ppm");
}

struct GroupCase {
  const char* key;
  const char* title;
};

class ShowGroupTest : public ShowCommandTest, public ::testing::WithParamInterface<GroupCase> {};

// The group's section of the full text: from its "[Title]" line to the blank line.
std::string Section(const std::string& text, const std::string& title) {
  const auto start = text.find("[" + title + "]\n");
  if (start == std::string::npos) return {};
  const auto end = text.find("\n\n", start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
}

TEST_P(ShowGroupTest, ShowsThatGroupAlone) {
  const GroupCase& group = GetParam();
  const ProgramResult one = Kvmaint({"show", "--group", group.key, file});
  ASSERT_EQ(one.exitCode, 0) << one.err;
  const std::vector<std::string> lines = Lines(one.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), std::string("[") + group.title + "]");
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_NE(lines[i].rfind('[', 0), 0U) << lines[i];
  EXPECT_EQ(one.out, Section(ReadBytes(kGoldenShow), group.title));

  const Json json = ShowJson({"--group", group.key});
  ASSERT_EQ(json.keys.size(), 1U);
  EXPECT_EQ(json.keys.front(), group.key);

  // The header show prints names the group as well as its key.
  for (const std::string& header : {std::string(group.title), "[" + std::string(group.title) + "]"}) {
    const ProgramResult byHeader = Kvmaint({"show", "--group", header, file});
    EXPECT_EQ(byHeader.exitCode, 0) << header << ": " << byHeader.err;
    EXPECT_EQ(byHeader.out, one.out) << header;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Groups, ShowGroupTest,
    ::testing::Values(GroupCase{"identity", "Identity"}, GroupCase{"channels", "Alarm Levels"},
                      GroupCase{"gas_names", "Gas Name and CAT Ratio"},
                      GroupCase{"channel_mapping", "Channel GAS Mapping"},
                      GroupCase{"gas_options", "Gas Options"},
                      GroupCase{"methane_elimination", "Methane Elimination"},
                      GroupCase{"other", "Other Setting"}, GroupCase{"stations", "Station"},
                      GroupCase{"users", "User"}, GroupCase{"conversion", "Pre-Defined Table"},
                      GroupCase{"user_conversion", "User Defined Table"},
                      GroupCase{"pid_high", "PID High Range"},
                      GroupCase{"pid_low", "PID Low Range"}),
    [](const auto& info) { return std::string(info.param.key); });

TEST_F(ShowCommandTest, UnknownGroupIsAUsageError) {
  const ProgramResult shown = Kvmaint({"show", "--group", "levels", file});
  EXPECT_EQ(shown.exitCode, 2);
  EXPECT_EQ(shown.out, "");
  EXPECT_THAT(shown.err, HasSubstr("unknown group 'levels'"));
  EXPECT_THAT(Kvmaint({"show", "--help"}).out, HasSubstr("pid_low"));
}

TEST_F(ShowCommandTest, DiffJsonListsEachChangeWithNameAndBothValues) {
  clsInstrument changed = LoadRecord(file);
  ASSERT_TRUE(changed.SetWarning(2, 7.5f));
  ASSERT_TRUE(changed.SetXS_(6, "NORTH GATE"));
  changed.SetAlarmMode(0);
  const std::string other = dir.File("changed.kvd");
  ASSERT_TRUE(WriteMaintenanceFile(changed, other).ok);

  const ProgramResult diff = Kvmaint({"diff", "--json", file, other});
  EXPECT_EQ(diff.exitCode, 1) << diff.err;
  const std::optional<Json> json = ParseJson(diff.out);
  ASSERT_TRUE(json.has_value()) << diff.out;
  ASSERT_EQ(json->items.size(), 3U) << diff.out;
  struct Expected {
    const char* name;
    const char* setting;
    const char* old;
    const char* now;
  };
  const Expected expected[] = {
      {"Alarm Latching", "AlarmMode(0)", "1", "0"},
      {"H2S warning level", "Warning(2)", "5.0 ppm", "7.5 ppm"},
      {"Station 7", "XS_(6)", "(empty)", "NORTH GATE"},
  };
  for (const Expected& e : expected) {
    const auto found = std::find_if(json->items.begin(), json->items.end(),
                                    [&](const Json& d) { return d["setting"].text == e.setting; });
    ASSERT_NE(found, json->items.end()) << e.setting;
    EXPECT_EQ((*found)["name"].text, e.name);
    EXPECT_EQ((*found)["old"].text, e.old);
    EXPECT_EQ((*found)["new"].text, e.now);
  }
  EXPECT_EQ((*json)[1]["new_value"].number, 7.5);
  EXPECT_EQ((*json)[2]["new_value"].text, "NORTH GATE");

  const ProgramResult same = Kvmaint({"diff", "--json", file, file});
  EXPECT_EQ(same.exitCode, 0);
  EXPECT_EQ(same.out, "[]\n");
}

// A name carrying terminal escapes is echoed escaped, never obeyed, in the
// refusal that repeats what was typed (the writer itself refuses such a name
// in a file; PrintableText is what show uses for names read from one).
TEST_F(ShowCommandTest, ControlCharactersInARefusedNameAreShownEscaped) {
  const ProgramResult refused = Kvmaint({"set", file, "XS_[2]=A\x1b]0;owned\x07"});
  EXPECT_NE(refused.exitCode, 0);
  EXPECT_THAT(refused.err, HasSubstr("A\\x1b]0;owned\\x07"));
  EXPECT_THAT(refused.err, ::testing::Not(HasSubstr("\x1b")));
}

}  // namespace
}  // namespace kv::inproc
