#include "common/messages.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(MessagesTest, CatalogueTextsAsCallersUseThem) {
  EXPECT_EQ(FormatMessage(msg::kConnectRetry, {"3"}), "Connect Sequence KORVIN...(3)");
  EXPECT_EQ(FormatMessage(msg::kDownloadFinishedLog, {"2024/03/05 07:08:09", "00:01:15"}),
            "---Instrument Download Finished---. Date = 2024/03/05 07:08:09[Time = 00:01:15]\r\n");
  EXPECT_EQ(FormatMessage(msg::kImproperData), "Improper data found  (  )");
  EXPECT_EQ(FormatMessage(msg::kConnectSequenceFinishedLog),
            "---StartUp Connect Sequence Finished---\r\n");
  EXPECT_EQ(FormatMessage(msg::kSentLineLog, {"VP,R,"}), "> : VP,R,");
}

// Texts whose odd spacing and spelling are easily "corrected" by mistake.
TEST(MessagesTest, TextsKeepTheirExactSpelling) {
  struct Case {
    int id;
    const char* text;
  };
  const Case cases[] = {
      {99, "It has already started."},
      {5001, "KORVIN  - Data Logger Management Program"},
      {5371, "Cominucation Ports Error. Restart this program."},
      {5550, "KORVIN ...Conneted. Date = ~1"},
      {5543, "Flame Error. Date = ~1"},
      {8008, "Confermation Alart"},
      {8038, "SET PASSWORD "},
      {8041, "Auto Range IR Sensor "},
      {8056, "Improper data found  ( ~1 )"},
  };
  for (const auto& [id, text] : cases) {
    EXPECT_EQ(MessageText(id), text) << id;
  }
}

TEST(MessagesTest, UnknownIdGivesEmptyText) {
  for (const int id : {0, -1, 98, 5000, 5551, 8999, 65535}) {
    EXPECT_TRUE(MessageText(id).empty()) << id;
    EXPECT_TRUE(FormatMessage(id, {"x"}).empty()) << id;
  }
}

TEST(MessagesTest, PlaceholderRules) {
  struct Case {
    const char* pattern;
    std::vector<std::string> args;
    const char* expected;
  };
  const Case cases[] = {
      {"a~1b~2c", {"X", "Y"}, "aXbYc"},
      {"~2~1", {"first", "second"}, "secondfirst"},
      {"(~3)", {"only one"}, "()"},           // missing argument
      {"~9", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}, "nine"},
      {"~12", {"A"}, "A2"},                   // one digit only
      {"x~0y", {"A"}, "xy"},
      {"a~cb~Cc", {}, "a\r\nb\r\nc"},
      {"a~tb~Tc", {}, "a\tb\tc"},
      {"a~xb", {}, "ab"},                     // unknown selector: both removed
      {"a~ b", {}, "ab"},
      {"a~~1b", {"A"}, "a1b"},                // "~~" is an unknown pair
      {"end~", {}, "end"},                    // lone "~" at the very end
      {"~", {}, ""},
      {"~1", {"~1"}, "~1"},                   // arguments are never rescanned
      {"<~1|~2>", {"~2~c", "~t"}, "<~2~c|~t>"},
      {"", {"A"}, ""},
      {"no placeholders", {"A"}, "no placeholders"},
  };
  for (const auto& [pattern, args, expected] : cases) {
    EXPECT_EQ(ExpandPlaceholders(pattern, args), expected) << pattern;
  }
}

TEST(MessagesTest, LatinOneBytesPassThrough) {
  EXPECT_EQ(ExpandPlaceholders("\xB0~1\xE9", {"\xFF"}), "\xB0\xFF\xE9");
}

}  // namespace
}  // namespace kv
