// The simulator's memories read through the real link and dump transactions,
// in the same process on a manual clock.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "protocol/framing.h"

#include "common/clock.h"
#include "link/link.h"
#include "link/transactions.h"
#include "sim/sim_default_state.h"
#include "sim/sim_dump.h"
#include "sim/sim_instrument.h"
#include "sim/sim_options.h"
#include "sim/sim_transport.h"
#include "sim/temp_dir.h"

namespace kv::sim {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SimDumpTest : public ::testing::Test {
 protected:
  SimDumpTest() {
    port.Attach(&link);
    link.SetRetry(3);
    link.SetTimeout(3);
    EXPECT_TRUE(link.SetPortOpen(true));
    TickUntil([this] { return link.State() == LinkState::Connected; }, 50);
    port.SetReplyAtOnce(false);
  }
  ~SimDumpTest() override { port.Attach(nullptr); }

  template <class Done>
  void TickUntil(Done done, int ticks) {
    for (int taken = 0; taken < ticks && !done(); ++taken) {
      clock.AdvanceMilliseconds(100);
      port.Pump();
      link.Tick();
    }
  }
  std::optional<bool> Run(Transaction transaction, int maxTicks = 400) {
    std::optional<bool> result;
    EXPECT_TRUE(link.Start(std::move(transaction), [&result](bool ok) { result = ok; }));
    TickUntil([&result] { return result.has_value(); }, maxTicks);
    return result;
  }

  testing::TempDir folder;
  ManualClock clock{DateTime{2026, 3, 5, 14, 7, 9}};
  SimInstrument instrument{clock, MakeDemoInstrument()};
  SimTransport port{instrument};
  uclTzif link{port, clock};
};

TEST_F(SimDumpTest, ImagesEqualTheSimulatorsMemories) {
  const std::string flash = folder.File("flash.bin");
  ASSERT_EQ(Run(GetBinDump(link, flash, false, kFlashFreshImageBlocks)), std::optional<bool>(true));
  const std::string expected = FlashImage(instrument.Device().Settings());
  EXPECT_EQ(expected.substr(0, 13), "KORVIN FLASH ");
  EXPECT_TRUE(ReadFile(flash) == expected);
  const std::string fram = folder.File("fram.bin");
  ASSERT_EQ(Run(GetBinDumpFRAM(link, fram)), std::optional<bool>(true));
  EXPECT_TRUE(ReadFile(fram) == FramImage(instrument.Device().Settings()));
}

TEST_F(SimDumpTest, StoppedStreamLeavesTheFillingAfterWhatCame) {
  instrument.SetDumpFaults(DumpFaults{3000, false, std::nullopt, 0});
  const std::string fram = folder.File("fram.bin");
  ASSERT_EQ(Run(GetBinDumpFRAM(link, fram)), std::optional<bool>(false));
  const std::string image = ReadFile(fram);
  ASSERT_EQ(image.size(), kSimFramSize);
  EXPECT_EQ(image.substr(0, 3000), FramImage(instrument.Device().Settings()).substr(0, 3000));
  EXPECT_EQ(image.substr(3000), std::string(kSimFramSize - 3000, '\xFF'));
}

TEST_F(SimDumpTest, ListingComesInAcknowledgedBlocks) {
  const std::string listing = folder.File("list.txt");
  ASSERT_EQ(Run(GetRomDump(link, listing, "ES")), std::optional<bool>(true));
  const std::string text = ReadFile(listing);
  // 1000 bytes: 63 rows, the last one short, then one filled row ends page 4.
  EXPECT_NE(text.find("\r\n0003E0 "), std::string::npos);
  EXPECT_NE(text.find("\r\n0003F0 FF FF FF FF FF FF FF FF  FF FF FF FF FF FF FF FF   ................\r\n"),
            std::string::npos);
  EXPECT_EQ(text.find("\r\n000400 "), std::string::npos);
  EXPECT_NE(text.find("4B 4F 52 56 49 4E 20 46  52 41 4D 20"), std::string::npos);  // "KORVIN FRAM "
}

TEST_F(SimDumpTest, ModuleBlocksThroughTheMemoryTransfers) {
  const std::string module = folder.File("module.bin");
  // Blocks 2, 3, 4 and 23 carry STX, ETX, EOT and ETB bytes in their frames.
  ASSERT_EQ(Run(GetOptBinDump(link, 10, "AB", module, 32 * 30), 30 * 40),
            std::optional<bool>(true));
  EXPECT_TRUE(ReadFile(module) == ModuleMemory().substr(0, 32 * 30));
}

TEST(SimDumpOptionsTest, StreamFaultsAndImageFiles) {
  struct Case {
    std::vector<std::string_view> args;
    bool ok;
    std::optional<std::size_t> stopAfter;
    bool hangUp;
  };
  const std::vector<Case> cases = {
      {{}, true, std::nullopt, false},
      {{"--dump-stop-after", "0"}, true, 0, false},
      {{"--dump-hangup-after", "5000"}, true, 5000, true},
      {{"--dump-stop-after", "-1"}, false, std::nullopt, false},
      {{"--dump-stop-after", "many"}, false, std::nullopt, false},
  };
  for (const Case& c : cases) {
    const ParsedOptions parsed = ParseSimOptions(c.args);
    ASSERT_EQ(parsed.ok, c.ok) << parsed.error;
    if (!c.ok) continue;
    EXPECT_EQ(parsed.options.dumpFaults.stopAfter, c.stopAfter);
    EXPECT_EQ(parsed.options.dumpFaults.hangUp, c.hangUp);
  }
  const std::vector<std::string_view> files = {"--flash-out", "f.bin", "--fram-out", "r.bin"};
  const ParsedOptions parsed = ParseSimOptions(files);
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.flashOutPath, "f.bin");
  EXPECT_EQ(parsed.options.framOutPath, "r.bin");
}

TEST(SimDumpFrameTest, MemoryTransferEndsAtItsTrailerNotAtControlBytesInItsData) {
  const std::string data = {kSTX, kEOT, kETB, kETX};
  const std::string frame = BuildCommandLine("MM,C,#,AB" + data, kEOT, "0A");
  EXPECT_EQ(RequestFrameEnd(frame + "next"), frame.size() - 1);
  EXPECT_EQ(RequestFrameEnd(frame.substr(0, frame.size() - 1)), std::string_view::npos);
  const auto request = ReadMemoryTransfer(frame);
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->text, "MM,C,#,AB" + data);
  EXPECT_EQ(request->block, "0A");
  std::string corrupt = frame;
  corrupt[frame.size() - 2] ^= 1;
  EXPECT_FALSE(ReadMemoryTransfer(corrupt).has_value());
  // Other frames end at their first terminator.
  EXPECT_EQ(RequestFrameEnd(BuildCommandLine("VP,R,") + "x"), BuildCommandLine("VP,R,").size() - 1);
}

}  // namespace
}  // namespace kv::sim
