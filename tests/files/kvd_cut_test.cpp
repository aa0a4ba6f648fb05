// A maintenance file cut short, or with a line shorter than its record, is
// never taken for a complete one: the reader stops at that line and says so,
// instead of filling the missing fields from an earlier line.
#include <gtest/gtest.h>

#include <istream>
#include <streambuf>
#include <string>
#include <vector>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "support/sample_record.h"
#include "files/scramble.h"
#include "support/temp_folder.h"

namespace kv {
namespace {

using testsupport::SampleRecord;

std::string FileOf(const std::vector<std::string>& texts) {
  std::string file;
  for (const auto& text : texts) file += ScrambleLine(text) + "\r\n";
  return file;
}

struct Cut {
  std::size_t from;    // where the bytes read start: the line before the cut one
  std::size_t offset;  // where the file is cut
  int line;            // 1-based line the cut falls in, counted from `from`
};

// Cuts inside every line of `file`: one character in, after each field's
// comma, the last pair and the last character taken off. Each is read from
// the line before it on, whose fields the tokenizer still holds.
std::vector<Cut> CutsInsideLines(const std::string& file) {
  std::vector<Cut> cuts;
  std::size_t previous = 0;
  std::size_t start = 0;
  for (std::size_t end = file.find("\r\n"); end != std::string::npos; end = file.find("\r\n", start)) {
    const std::string text = *UnscrambleLine(file.substr(start, end - start));
    std::vector<std::size_t> inside{1, end - start - 1, end - start - 2};
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
      if (text[i] == ',') inside.push_back(2 * (i + 1));
    }
    for (const std::size_t at : inside) cuts.push_back({previous, start + at, start == 0 ? 1 : 2});
    previous = start;
    start = end + 2;
  }
  return cuts;
}

TEST(CutFile, AFileCutInsideALineIsNeverComplete) {
  const std::string file = FileOf(MaintenanceRecordTexts(SampleRecord()));
  {
    clsInstrument whole;
    ASSERT_TRUE(ReadMaintenanceText(whole, file).complete);
  }
  const std::vector<Cut> cuts = CutsInsideLines(file);
  ASSERT_GT(cuts.size(), 341U * 3);
  for (const Cut& cut : cuts) {
    clsInstrument record;
    const KvdLoadResult result =
        ReadMaintenanceText(record, std::string_view(file).substr(cut.from, cut.offset - cut.from));
    ASSERT_FALSE(result.complete) << "cut at " << cut.offset;
    EXPECT_EQ(result.stoppedAtLine, cut.line) << "cut at " << cut.offset;
  }
}

// The whole file up to the cut, for a cut in every tenth line.
TEST(CutFile, TheWholeFileUpToACutStopsAtTheCutLine) {
  const std::string file = FileOf(MaintenanceRecordTexts(SampleRecord()));
  int line = 1;
  for (std::size_t start = 0; start < file.size(); start = file.find("\r\n", start) + 2, ++line) {
    if (line % 10 != 0) continue;
    clsInstrument record;
    const std::size_t cut = file.find("\r\n", start) - 3;
    const KvdLoadResult result = ReadMaintenanceText(record, std::string_view(file).substr(0, cut));
    EXPECT_FALSE(result.complete) << "line " << line;
    EXPECT_EQ(result.stoppedAtLine, line);
  }
}

TEST(CutFile, ACutAtALineEndLeavesACompleteShorterFile) {
  const std::string file = FileOf(MaintenanceRecordTexts(SampleRecord()));
  const std::size_t end = file.find("\r\n", file.size() / 2) + 2;
  clsInstrument record;
  EXPECT_TRUE(ReadMaintenanceText(record, std::string_view(file).substr(0, end)).complete);
}

struct ShortLine {
  const char* what;
  std::string text;
};

class ShortLines : public testing::TestWithParam<ShortLine> {};

// The full line comes first, so that the tokenizer holds every field the
// short line lacks: nothing of it may be read.
TEST_P(ShortLines, StopTheLoadAndStoreNothing) {
  const ShortLine& c = GetParam();
  clsInstrument before;
  ASSERT_TRUE(ReadMaintenanceText(before, FileOf(MaintenanceRecordTexts(SampleRecord()))).complete);
  clsInstrument record = before;
  const KvdLoadResult result = ReadMaintenanceText(record, FileOf({c.text, "AP,W,3,"}));
  EXPECT_FALSE(result.complete) << c.text;
  EXPECT_EQ(result.stoppedAtLine, 1);
  EXPECT_NE(result.reason.find("cut short"), std::string::npos) << result.reason;
  EXPECT_EQ(record.XS_(4), before.XS_(4));
  EXPECT_EQ(record.PIDLongName(10), before.PIDLongName(10));
  EXPECT_EQ(record.PIDName(10), before.PIDName(10));
  EXPECT_EQ(record.AlarmMode(), before.AlarmMode()) << "nothing after the short line is read";
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ShortLines,
    testing::Values(ShortLine{"station without its name", "XS,W,05,"},
                    ShortLine{"PID names cut after the long name", "LS,W,0A,AMMO,"},
                    ShortLine{"PID range cut after three fields", "LI,W,0A,03E8,1,"},
                    ShortLine{"high PID range without its factor", "LJ,W,0A,03E8,1,02,0001,0064,00C8,012C,0032,01F4,"},
                    ShortLine{"no value at all", "AP,W,"},
                    ShortLine{"two of seven decimal places", "GP,W,1,0,"},
                    ShortLine{"gas names cut after two", "GN,W,CH4,H2 ,"},
                    ShortLine{"leak beep with one field", "WB,W,1,"},
                    ShortLine{"one level of seven", "A1,W,0064,"},
                    ShortLine{"conversion entry without factor", "LB,W,05,Propane,C3H,"},
                    ShortLine{"level without mode", "LA,W,00,0064,DDDD,61A8,"},
                    ShortLine{"one constant of two", "FL,W,C350,"},
                    ShortLine{"GJ with one channel", "GJ,W,CH4,03E8,0005,1,"}));

// Hands out `total` copies of one character and counts what was taken.
class EndlessBuffer final : public std::streambuf {
 public:
  explicit EndlessBuffer(char fill) { block_.assign(4096, fill); }
  std::size_t Handed() const { return handed_; }

 protected:
  int_type underflow() override {
    handed_ += block_.size();
    setg(block_.data(), block_.data(), block_.data() + block_.size());
    return traits_type::to_int_type(block_.front());
  }

 private:
  std::string block_;
  std::size_t handed_ = 0;
};

struct Flood {
  const char* what;
  char fill;
  std::size_t mostRead;
  const char* reasonPart;
};

class FloodedInput : public testing::TestWithParam<Flood> {};

TEST_P(FloodedInput, IsRefusedAfterABoundedRead) {
  const Flood& c = GetParam();
  EndlessBuffer buffer(c.fill);
  std::istream in(&buffer);
  clsInstrument record;
  const KvdLoadResult result = ReadMaintenanceStream(record, in);
  EXPECT_FALSE(result.complete);
  EXPECT_NE(result.reason.find(c.reasonPart), std::string::npos) << result.reason;
  EXPECT_LE(buffer.Handed(), c.mostRead + 4096) << "read on past the bound";
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, FloodedInput,
    testing::Values(Flood{"blank lines without end", '\n', kMaxMaintenanceFileBytes, "larger than"},
                    Flood{"one line without end", 'F', kMaxLineBytes, "longer than"}));

TEST(FloodedFile, AFileOfBlankLinesFarLargerThanAnyRealOneIsRefused) {
  testsupport::TempFolder folder;
  const std::string path = folder.File("blank.kvd");
  testsupport::WriteBytes(path, std::string(kMaxMaintenanceFileBytes + 10, '\n'));
  clsInstrument record;
  const KvdLoadResult result = ReadMaintenanceFile(record, path);
  EXPECT_FALSE(result.complete);
  EXPECT_NE(result.reason.find("larger than"), std::string::npos) << result.reason;
}

}  // namespace
}  // namespace kv
