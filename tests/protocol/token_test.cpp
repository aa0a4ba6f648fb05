#include "protocol/token.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kv {
namespace {

struct SplitCase {
  const char* name;
  std::vector<std::string> delimiters;
  std::vector<std::string> stringMarks;
  std::vector<std::string> commentMarks;
  std::string line;
  std::vector<std::string> tokens;
  // What a comment leaves in the slot after the counted tokens.
  std::optional<std::string> commentRest;
};

clsToken Configured(const SplitCase& c) {
  clsToken token;
  for (const auto& d : c.delimiters) token.AddDelimiters(d);
  for (const auto& s : c.stringMarks) token.AddStrings(s);
  for (const auto& m : c.commentMarks) token.AddComments(m);
  return token;
}

TEST(TokenTest, SplitRules) {
  const std::vector<std::string> comma{","};
  const std::vector<std::string> none;
  const SplitCase cases[] = {
      {"reply fields", comma, none, none, "XZ,W,01,ABC,", {"XZ", "W", "01", "ABC"}, {}},
      {"consecutive delimiters", comma, none, none, "a,,b", {"a", "", "b"}, {}},
      {"leading delimiter", comma, none, none, ",a", {"", "a"}, {}},
      {"only delimiters", comma, none, none, ",,", {"", ""}, {}},
      {"empty line", comma, none, none, "", {}, {}},
      {"no delimiter registered", none, none, none, "a,b", {"a,b"}, {}},
      {"comment drops the pending token", comma, none, {";"}, "A,B;rest", {"A"}, "rest"},
      {"comment first", comma, none, {";"}, ";a,b", {}, "a,b"},
      {"comment last", comma, none, {";"}, "A,B;", {"A"}, ""},
      // A closing mark stores the string; the delimiter after it then stores the
      // empty pending token too.
      {"string keeps delimiters", comma, {"\""}, none, "x\"a,b\",c", {"a,b", "", "c"}, {}},
      {"comment inside a string", comma, {"\""}, {";"}, "\"a;b\"", {"a;b"}, {}},
      {"empty string", comma, {"\""}, none, "\"\"", {""}, {}},
      {"unclosed string", comma, {"\""}, none, "\"a,b", {"a,b"}, {}},
      {"any mark closes a string", comma, {"'", "\""}, none, "'a,b\"c", {"a,b", "c"}, {}},
      {"text after a closing mark", comma, {"\""}, none, "\"a\"b,c", {"a", "b", "c"}, {}},
      {"comment beats delimiter", {";"}, none, {";"}, "a;b", {}, "b"},
      {"string beats delimiter", {"\""}, {"\""}, none, "\"a\"", {"a"}, {}},
      {"multi-character entry never matches", {"ab"}, none, {"--"}, "xaby--z", {"xaby--z"}, {}},
      {"empty entry is ordinary", {""}, none, none, "a b", {"a b"}, {}},
      {"case-sensitive", {"x"}, none, none, "aXbxc", {"aXb", "c"}, {}},
      {"Latin-1 delimiter", {"\xA7"}, none, none, "a\xA7\xE9", {"a", "\xE9"}, {}},
      {"several delimiters", {",", "\t"}, none, none, "a\tb,c", {"a", "b", "c"}, {}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.name);
    clsToken token = Configured(c);
    ASSERT_TRUE(token.SetSource(c.line));
    EXPECT_EQ(token.Source(), c.line);
    ASSERT_EQ(token.TokenCount(), static_cast<int>(c.tokens.size()));
    for (std::size_t i = 0; i < c.tokens.size(); ++i) {
      EXPECT_EQ(token.Tokens(static_cast<int>(i)), c.tokens[i]) << "token " << i;
    }
    if (c.commentRest) {
      EXPECT_EQ(token.Tokens(token.TokenCount()), *c.commentRest);
    }
  }
}

class CommaTokenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    token_.ClearComments();
    token_.ClearDelimiters();
    token_.ClearStrings();
    token_.AddDelimiters(",");
  }

  static std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
  }

  clsToken token_;
};

TEST_F(CommaTokenTest, SlotsBeyondTheCountKeepTheirOldTokens) {
  ASSERT_TRUE(token_.SetSource("a,b,c,d,e"));
  ASSERT_TRUE(token_.SetSource("x,y"));
  EXPECT_EQ(token_.TokenCount(), 2);
  EXPECT_EQ(token_.Tokens(1), "y");
  EXPECT_EQ(token_.Tokens(2), "c");
  EXPECT_EQ(token_.Tokens(4), "e");
}

TEST_F(CommaTokenTest, FullLineFitsButSlot128IsNeverReadable) {
  // 128 delimiters and a last token: 129 tokens in slots 0..128.
  ASSERT_TRUE(token_.SetSource(Repeat("t,", 128) + "last"));
  EXPECT_EQ(token_.TokenCount(), 129);
  EXPECT_EQ(token_.Tokens(127), "t");
  EXPECT_EQ(token_.Tokens(128), "");
  EXPECT_EQ(token_.Tokens(-1), "");
}

TEST_F(CommaTokenTest, TokenBeyondSlot128FailsAndKeepsWhatWasStored) {
  EXPECT_FALSE(token_.SetSource(Repeat("t,", 129) + "z"));
  EXPECT_EQ(token_.TokenCount(), 129);
  EXPECT_EQ(token_.Tokens(0), "t");
  EXPECT_EQ(token_.Tokens(127), "t");

  token_.AddComments(";");
  EXPECT_FALSE(token_.SetSource(Repeat(",", 129) + ";rest"));

  // The next ordinary line splits normally again.
  ASSERT_TRUE(token_.SetSource("a,b"));
  EXPECT_EQ(token_.TokenCount(), 2);
}

TEST_F(CommaTokenTest, TokenSlotsAndCountCanBeWrittenDirectly) {
  EXPECT_TRUE(token_.SetTokens(0, "first"));
  EXPECT_TRUE(token_.SetTokens(128, "hidden"));
  EXPECT_FALSE(token_.SetTokens(129, "nowhere"));
  EXPECT_FALSE(token_.SetTokens(-1, "nowhere"));
  EXPECT_EQ(token_.Tokens(0), "first");
  EXPECT_EQ(token_.Tokens(128), "");

  token_.SetTokenCount(7);
  EXPECT_EQ(token_.TokenCount(), 7);
  EXPECT_EQ(token_.Tokens(0), "first");
}

TEST(TokenMarkerTest, OnlyTenMarkersAreRegistered) {
  clsToken token;
  const std::string marks = "abcdefghij";
  for (const char mark : marks) token.AddDelimiters(std::string(1, mark));
  token.AddDelimiters("k");  // eleventh: ignored
  EXPECT_EQ(token.Delimiters(9), "j");
  EXPECT_EQ(token.Delimiters(10), "");
  ASSERT_TRUE(token.SetSource("1a2k3"));
  EXPECT_EQ(token.TokenCount(), 2);
  EXPECT_EQ(token.Tokens(1), "2k3");
}

TEST(TokenMarkerTest, IndexedSetChangesOnlyRegisteredSlotsBehaviour) {
  clsToken token;
  token.AddDelimiters(",");
  token.SetDelimiters(0, ";");   // replaces the registered comma
  token.SetDelimiters(3, "|");   // beyond the count: stored but not registered
  token.SetDelimiters(10, "#");  // outside 0..9: ignored
  EXPECT_EQ(token.Delimiters(0), ";");
  EXPECT_EQ(token.Delimiters(3), "");
  ASSERT_TRUE(token.SetSource("a,b;c|d"));
  EXPECT_EQ(token.TokenCount(), 2);
  EXPECT_EQ(token.Tokens(0), "a,b");
  EXPECT_EQ(token.Tokens(1), "c|d");

  // The next Add fills slot 1, not the slot written above.
  token.AddDelimiters("|");
  EXPECT_EQ(token.Delimiters(1), "|");
  ASSERT_TRUE(token.SetSource("c|d"));
  EXPECT_EQ(token.TokenCount(), 2);
}

TEST(TokenMarkerTest, ClearUnregistersEveryList) {
  clsToken token;
  token.AddDelimiters(",");
  token.AddStrings("\"");
  token.AddComments(";");
  EXPECT_EQ(token.StringRanges(0), "\"");
  EXPECT_EQ(token.Comments(0), ";");
  token.ClearDelimiters();
  token.ClearStrings();
  token.ClearComments();
  EXPECT_EQ(token.Delimiters(0), "");
  EXPECT_EQ(token.StringRanges(0), "");
  EXPECT_EQ(token.Comments(0), "");
  ASSERT_TRUE(token.SetSource("\"a,b\";c"));
  EXPECT_EQ(token.TokenCount(), 1);
  EXPECT_EQ(token.Tokens(0), "\"a,b\";c");
}

}  // namespace
}  // namespace kv
