// Reply frames from an instrument that misbehaves: whatever arrives, the
// dispatcher must refuse or apply it without reading or writing outside the
// record, dividing by zero or overflowing a conversion.
#include <string>

#include "fuzz_target.h"
#include "protocol/dispatcher.h"
#include "protocol/framing.h"
#include "reply_samples.h"

namespace {

class SilentEffects final : public kv::LinkEffects {
 public:
  void AddLog(std::string_view) override {}
  void ConnectReplyReceived() override {}
  void ReadingsReceived(const std::array<kv::Single, kv::kSensorChannels>&) override {}
  std::string_view LastLineSent() const override { return last_; }
  kv::DateTime Now() const override { return {2026, 3, 5, 14, 7, 9}; }
  std::string last_ = kv::BuildCommandLine("A1,W,0064,0064,0064,0064,0064,0064,0064,");
};

// A record with a catalytic, an infrared and a PID channel, so that the
// scaled and range-dependent rows run their full paths.
kv::clsInstrument ConfiguredRecord() {
  kv::clsInstrument r;
  (void)r.SetGasType(0, 0);
  (void)r.SetGasType(4, 4);
  (void)r.SetGasType(5, 5);
  (void)r.SetGasFullScale(0, 100.0f);
  (void)r.SetFL_(0, 0);  // the "no data" path of catalytic scaling
  (void)r.SetGasPoint(1, 3);
  return r;
}

}  // namespace

std::vector<std::string> FuzzSeeds() { return ReplySampleTexts(); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  SilentEffects effects;
  kv::clsInstrument record = ConfiguredRecord();
  // Half the inputs are framed properly so that they pass the checksum and
  // reach the rows; the rest go in raw.
  const std::string frame = (data[0] & 1) ? kv::BuildCommandLine(text) : text;
  kv::ReplySink sink((data[0] & 2) ? &record : nullptr);
  (void)kv::ApplyReply(frame, sink, effects);
  return 0;
}
