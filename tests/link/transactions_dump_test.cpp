// The memory dumps on the virtual clock: binary images, the listing and the
// MM memory-transfer frames.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/memory_dump_files.h"
#include "link/transaction_fakes.h"
#include "link/transactions.h"

namespace kv::test {
namespace {

constexpr const char* kImage = "image.bin";

// The flash content the tests send: every byte differs from its neighbours
// and from the 0xFF filling often enough to show a misplaced write.
std::string Pattern(std::size_t size, std::size_t from = 0) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(((from + i) * 7 + 3) % 251);
  return bytes;
}

class DumpTest : public TransactionTest {
 protected:
  DumpTest() {
    h.instrument.EchoUnknown(false);  // the image comes as raw bytes only
    options.files = &files;
  }
  std::vector<std::string> DumpMessages() const {
    std::vector<std::string> texts;
    for (const auto& event : h.events.Named("DumpMessage")) texts.push_back(event.argument);
    return texts;
  }
  void Deliver(const std::string& bytes, std::size_t piece) {
    h.port.DeliverInPieces(bytes, piece);
  }

  MemoryDumpFiles files;
  DumpOptions options;
};

TEST_F(DumpTest, FlashImageEndsWithTheLastArrival) {
  Start(GetBinDump(h.link, kImage, false, kFlashFreshImageBlocks, options));
  ASSERT_EQ(h.link.Status(), LinkStatus::BinaryTransfer);
  const std::string flash = Pattern(kFlashImageSize);
  Deliver(flash.substr(0, kFlashImageSize - 1000), 4096);
  EXPECT_FALSE(Result().has_value());
  EXPECT_EQ(h.link.Status(), LinkStatus::BinaryTransfer);
  Deliver(flash.substr(kFlashImageSize - 1000), 1000);
  // No tick in between: the last arrival completes it.
  EXPECT_EQ(h.link.Status(), LinkStatus::Complete);
  ASSERT_EQ(Result(), std::optional<bool>(true));
  EXPECT_TRUE(files.files[kImage] == flash);
  EXPECT_EQ(files.opens, 1);  // opened once for the whole transfer
  ASSERT_FALSE(Commands().empty());
  EXPECT_EQ(Commands().front(), "EP,R,");
}

TEST_F(DumpTest, ProgressCountsBlocksOfTheImage) {
  Start(GetBinDump(h.link, kImage, false, kFlashFreshImageBlocks, options));
  Deliver(Pattern(2048), 1024);
  const std::vector<std::string> texts = DumpMessages();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Get Image 0002");
  EXPECT_EQ(texts.front(), "Initialize Local Image");
  EXPECT_TRUE(Logged("Get Image 000800"));
}

TEST_F(DumpTest, FramImageOfItsOwnSize) {
  Start(GetBinDumpFRAM(h.link, kImage, options));
  EXPECT_EQ(Commands().front(), "EF,R,");
  const std::string fram = Pattern(kFramImageSize);
  Deliver(fram, 300);
  ASSERT_EQ(Result(), std::optional<bool>(true));
  EXPECT_TRUE(files.files[kImage] == fram);
  const std::vector<std::string> texts = DumpMessages();
  EXPECT_EQ(texts[1], "Get FRAM Image");
  EXPECT_EQ(texts.back(), "Get Image 0020");  // 8192 / 256
}

struct KeepCase {
  const char* name;
  bool existing;
  bool keep;
  int blocks;
  int creates;
};

class DumpKeepTest : public DumpTest, public ::testing::WithParamInterface<KeepCase> {};

TEST_P(DumpKeepTest, RecreatesTheImageOnlyWhenAsked) {
  const KeepCase& c = GetParam();
  const std::string earlier(kFlashImageSize, 'E');
  if (c.existing) files.files[kImage] = earlier;
  Start(GetBinDump(h.link, kImage, c.keep, c.blocks, options));
  Deliver(Pattern(100), 100);
  h.link.SetCancel(true);
  h.Tick();
  h.Tick(kDrainQuietTicks);  // the drain after the cancel finds the line quiet
  ASSERT_EQ(Result(), std::optional<bool>(false));
  EXPECT_EQ(files.creates[kImage], c.creates);
  const std::string& image = files.files[kImage];
  ASSERT_EQ(image.size(), kFlashImageSize);
  EXPECT_EQ(image.substr(0, 100), Pattern(100));
  // Behind the bytes that came: the filling of a new image, the old bytes of a kept one.
  EXPECT_EQ(image[100], c.creates == 1 ? '\xFF' : 'E');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DumpKeepTest,
    ::testing::Values(KeepCase{"KeptExisting", true, true, kFlashFreshImageBlocks, 0},
                      KeepCase{"NotKeptButPartBlocks", true, false, 10, 0},
                      KeepCase{"NotKeptFullBlocks", true, false, kFlashFreshImageBlocks, 1},
                      KeepCase{"KeptButMissing", false, true, kFlashFreshImageBlocks, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// A memory pauses between pages: inside the stream only a silence of the
// stream silence limit (10 s, far beyond the 3 s reply time-out) ends it.
struct StreamSilenceCase {
  const char* name;
  int silentTicks;  // after the first 5000 bytes
  bool endsTheStream;
};

class StreamSilenceTest : public DumpTest,
                          public ::testing::WithParamInterface<StreamSilenceCase> {};

TEST_P(StreamSilenceTest, OnlyTheSilenceLimitEndsAStream) {
  const StreamSilenceCase& c = GetParam();
  ASSERT_EQ(h.link.StreamSilenceLimit(), uclTzif::kStreamSilenceLimitSeconds);
  Start(GetBinDumpFRAM(h.link, kImage, options));
  const std::string fram = Pattern(kFramImageSize);
  Deliver(fram.substr(0, 5000), 1000);
  h.Tick(c.silentTicks);
  if (!c.endsTheStream) {
    EXPECT_FALSE(Result().has_value()) << "gave up while the stream was only pausing";
    Deliver(fram.substr(5000), 1000);
    ASSERT_EQ(Result(), std::optional<bool>(true));
    EXPECT_TRUE(files.files[kImage] == fram);
    return;
  }
  ASSERT_EQ(Result(), std::optional<bool>(false));
  EXPECT_EQ(h.link.Status(), LinkStatus::Ready);
  EXPECT_EQ(DumpMessages().back(), "failed ");
  const std::string& image = files.files[kImage];
  EXPECT_EQ(image.substr(0, 5000), fram.substr(0, 5000));
  EXPECT_EQ(image.substr(5000), std::string(kFramImageSize - 5000, '\xFF'));
}

constexpr int kSilenceLimitTicks = uclTzif::kStreamSilenceLimitSeconds * uclTzif::kTicksPerSecond;

INSTANTIATE_TEST_SUITE_P(
    Pauses, StreamSilenceTest,
    ::testing::Values(StreamSilenceCase{"BeyondTheReplyTimeOut", 45, false},
                      StreamSilenceCase{"JustWithinTheLimit", kSilenceLimitTicks, false},
                      StreamSilenceCase{"PastTheLimit", kSilenceLimitTicks + 1, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DumpTest, RefusedStartFailsAtOnceLeavingTheFilling) {
  Start(GetBinDumpFRAM(h.link, kImage, options));
  h.port.Deliver(BuildCommandLine(std::string("EF,R,") + kNAK));
  ASSERT_EQ(Result(), std::optional<bool>(false));
  EXPECT_EQ(DumpMessages().back(), "failed ");
  EXPECT_EQ(files.files[kImage], std::string(kFramImageSize, '\xFF'));
}

TEST_F(DumpTest, SteadyStreamOutlastsTheTimeOut) {
  Start(GetBinDumpFRAM(h.link, kImage, options));
  const std::string fram = Pattern(kFramImageSize);
  // 64 bytes a tick: 128 ticks, far beyond the 3 s time-out.
  for (std::size_t at = 0; at < fram.size() && !Result(); at += 64) {
    Deliver(fram.substr(at, 64), 64);
    h.Tick();
  }
  EXPECT_EQ(Result(), std::optional<bool>(true));
}

TEST_F(DumpTest, WriteFailureEndsTheTransferAndSaysSo) {
  files.failWrites = true;  // a full disk
  std::string fileError;
  options.onFileError = [&fileError](const std::string& reason) { fileError = reason; };
  Start(GetBinDumpFRAM(h.link, kImage, options));
  Deliver(Pattern(10), 10);
  h.Tick(kDrainQuietTicks);  // the rest of the stream is drained first
  ASSERT_EQ(Result(), std::optional<bool>(false));
  EXPECT_EQ(DumpMessages().back(), "failed ");
  EXPECT_EQ(fileError, "cannot write the image");
}

// The protocol cannot stop a stream: after Cancel the rest is read and
// dropped, nothing is sent, until the line is quiet or the drain gives up.
struct DrainCase {
  const char* name;
  int streamingTicks;  // how long bytes keep coming after the cancel
  bool silent;
};

class DrainTest : public DumpTest, public ::testing::WithParamInterface<DrainCase> {};

TEST_P(DrainTest, ACancelledStreamIsDrainedWithoutAnswer) {
  const DrainCase& c = GetParam();
  std::optional<DrainResult> drained;
  options.onDrained = [&drained](const DrainResult& result) { drained = result; };
  Start(GetBinDump(h.link, kImage, false, kFlashFreshImageBlocks, options));
  Deliver(Pattern(1000), 1000);
  h.link.SetCancel(true);
  h.Tick();
  const std::size_t sent = Commands().size();
  for (int tick = 0; tick < c.streamingTicks && !Result(); ++tick) {
    Deliver(Pattern(100, 1000), 100);
    h.Tick();
  }
  h.Tick(kDrainQuietTicks);
  ASSERT_EQ(Result(), std::optional<bool>(false));
  ASSERT_TRUE(drained.has_value());
  EXPECT_EQ(drained->silent, c.silent);
  EXPECT_GT(drained->droppedBytes, 0U);
  EXPECT_EQ(Commands().size(), sent) << "something was sent into the stream";
  EXPECT_TRUE(h.link.Cancel()) << "the cancel is still known after the drain";
  EXPECT_EQ(h.link.Status(), LinkStatus::Ready);
  EXPECT_EQ(files.files[kImage].substr(1000, 100), std::string(100, '\xFF')) << "drained bytes were stored";
}

INSTANTIATE_TEST_SUITE_P(Streams, DrainTest,
                         ::testing::Values(DrainCase{"EndsWithinTheDrain", 30, true},
                                           DrainCase{"GoesOnPastTheDrain", kDrainLimitTicks + 50, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DumpTest, ReceiverIsReleasedAfterTheImage) {
  Start(GetBinDumpFRAM(h.link, kImage, options));
  Deliver(Pattern(kFramImageSize), 8192);
  ASSERT_EQ(Result(), std::optional<bool>(true));
  // An MM exchange afterwards gets its answer in its sink, not in the image.
  h.instrument.Answer("MM,", "short answer");
  Start(GetOptBinDump(h.link, 1, "AB", "module.bin", 32, options));
  h.Tick(kMemoryTransferPauseTicks + 5);
  EXPECT_EQ(Result(), std::optional<bool>(false));  // the answer is too short for a block
  EXPECT_TRUE(files.files[kImage] == Pattern(kFramImageSize));
  EXPECT_EQ(Commands().back(), "MM,R,");
}

// ---- listing --------------------------------------------------------------------

std::string ListingReply(int block, int rows, char terminator) {
  std::string hex;
  for (int r = 0; r < rows; ++r) {
    for (int b = 0; b < 16; ++b) hex += HexPair(0x30 + (block * 8 + r + b) % 64);
  }
  return BuildCommandLine("ES,R,0," + HexPair(block) + ",0," + hex, terminator);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) break;
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

TEST_F(DumpTest, ListingFillsTheLastPageWithF) {
  h.link.SetReplyHandler({});
  Start(GetRomDump(h.link, "list.txt", "ES", options));
  EXPECT_EQ(h.link.Status(), LinkStatus::BlockTransfer);
  h.port.Deliver(ListingReply(1, 8, kETB));
  h.port.Deliver(ListingReply(2, 8, kETB));
  h.port.Deliver(ListingReply(3, 5, kEOT));  // 21 rows: the second page holds 5
  ASSERT_EQ(Result(), std::optional<bool>(true));
  const std::vector<std::string> lines = Lines(files.files["list.txt"]);
  ASSERT_GE(lines.size(), 4U + 2 * 19 + 2);
  EXPECT_EQ(lines[0], ";\tKORVIN Data Logger Program");
  EXPECT_EQ(lines[1].rfind(";\tFlush Dump (ES) List", 0), 0U);
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "Adrs   +0 +1 +2 +3 +4 +5 +6 +7  +8 +9 +A +B +C +D +E +F   List Of ASCII   ");
  EXPECT_EQ(lines[5], std::string(74, '-'));
  EXPECT_EQ(lines[6], "000000 38 39 3A 3B 3C 3D 3E 3F  40 41 42 43 44 45 46 47   89:;<=>?@ABCDEFG");
  const std::size_t secondPage = 4 + 19;
  EXPECT_EQ(lines[secondPage + 2].substr(0, 6), "000100");
  for (int r = 5; r < 16; ++r) {
    const std::string& row = lines[secondPage + 2 + static_cast<std::size_t>(r)];
    char address[8];
    std::snprintf(address, sizeof address, "%06X", 0x100 + r * 16);
    EXPECT_EQ(row, std::string(address) + " FF FF FF FF FF FF FF FF  FF FF FF FF FF FF FF FF   ................");
  }
  EXPECT_EQ(lines[secondPage + 18], "");
  EXPECT_EQ(lines[secondPage + 19], "");
  EXPECT_EQ(lines[secondPage + 20], ";\tTotal Download Time = 00:00:00");
  const std::vector<std::string> texts = DumpMessages();
  ASSERT_EQ(texts.size(), 2U);
  EXPECT_EQ(texts[0], "Get Dump 000000-0000FF");
  EXPECT_EQ(texts[1], "Get Dump 000100-0001FF");
  // Each intermediate block was acknowledged.
  EXPECT_EQ(h.port.writes.size(), 3U);
}

TEST(ListingPageTest, FillsRowsAfterTheLastWithStepsOf16) {
  std::vector<DumpListItem> rows;
  for (long r = 0; r < 5; ++r) rows.push_back({std::string(32, '0'), 0x200 + r * 16});
  const std::vector<DumpListItem> page = FillLastPage(rows);
  ASSERT_EQ(page.size(), 16U);
  for (std::size_t r = 5; r < 16; ++r) {
    EXPECT_EQ(page[r].name, std::string(32, 'F'));
    EXPECT_EQ(page[r].address, page[r - 1].address + 16);
  }
  EXPECT_EQ(FillLastPage(page).size(), 16U);  // a full page stays as it is
}

// ---- MM memory transfers --------------------------------------------------------

TEST(MemoryFrameTest, BlockIndexIsTwoUppercaseHexDigits) {
  EXPECT_EQ(MemoryBlockField(10), "0A");
  const std::string frame = BuildMemoryTransferFrame(10, "AB", std::string(1, '\x07'), 33);
  const std::string expectedBody = "\x02" "000AMM,C,#,AB\x07\x03";
  ASSERT_EQ(frame.substr(0, expectedBody.size()), expectedBody);
  EXPECT_EQ(frame.substr(expectedBody.size(), 2), HexPair(FrameCheckSum(expectedBody)));
  EXPECT_EQ(frame.back(), kEOT);
  EXPECT_EQ(frame.size(), expectedBody.size() + 3);
}

TEST(MemoryFrameTest, AnswerTextIsTakenFromItsLengthByte) {
  std::string answer = std::string(10, 'x') + static_cast<char>(5) + "," + "abc" + "tail";
  EXPECT_EQ(MemoryTransferAnswer(answer), std::optional<std::string>("abc"));
  answer[10] = static_cast<char>(60);  // says more than came
  EXPECT_EQ(MemoryTransferAnswer(answer), std::nullopt);
  EXPECT_EQ(MemoryTransferAnswer("short"), std::nullopt);
}

// Answers every "MM,R," with 12 head bytes and 32 data bytes of the block.
std::string ModuleAnswer(int block) {
  std::string answer = std::string(10, 'h') + static_cast<char>(34) + ",";
  for (int i = 0; i < 32; ++i) answer += static_cast<char>(block * 32 + i);
  return answer + "trailer";
}

TEST_F(DumpTest, ModuleImageBlockByBlock) {
  Start(GetOptBinDump(h.link, 10, "AB", "module.bin", 96, options));
  for (int block = 0; block < 3; ++block) {
    ASSERT_EQ(h.port.writes.back().bytes.substr(1, 4), "000A") << block;
    h.port.Deliver("ok");  // the command taken
    h.Tick(kMemoryTransferPauseTicks);
    ASSERT_EQ(Commands().back(), "MM,R,");
    h.port.Deliver(ModuleAnswer(block));
  }
  ASSERT_EQ(Result(), std::optional<bool>(true));
  std::string expected;
  for (int i = 0; i < 96; ++i) expected += static_cast<char>(i);
  EXPECT_TRUE(files.files["module.bin"] == expected);
  EXPECT_EQ(DumpMessages().back(), "Get Image 02");
}

TEST_F(DumpTest, ModuleImageKeepsBlocksBeforeAFailure) {
  Start(GetOptBinDump(h.link, 1, "AB", "module.bin", 96, options));
  h.port.Deliver("ok");
  h.Tick(kMemoryTransferPauseTicks);
  h.port.Deliver(ModuleAnswer(0));
  h.Tick(60);  // the second block is never answered
  ASSERT_EQ(Result(), std::optional<bool>(false));
  const std::string& image = files.files["module.bin"];
  EXPECT_EQ(image.substr(32), std::string(64, '\xFF'));
  EXPECT_EQ(image[31], static_cast<char>(31));
}

}  // namespace
}  // namespace kv::test
