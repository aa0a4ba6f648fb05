// kvmaint live: the seven current readings, once a second.
#include <array>

#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "protocol/format_gas_value.h"

namespace kv::cli {
namespace {

const QString kCount = QStringLiteral("count");

// What the readings are scaled by: gas types, decimal places, full scales and
// the catalytic settings.
constexpr std::array<std::string_view, 4> kScalingReads{"IT,R,", "GP,R,", "GF,R,", "FL,R,"};

Transaction ReadScaling(uclTzif& link, clsInstrument& record) {
  ReplySink sink(&record);
  for (const std::string_view command : kScalingReads) {
    const LinkStatus ended = co_await link.SendAndWait(sink, command, LinkStatus::ReadWaiting);
    if (ended != LinkStatus::Complete) co_return false;
  }
  co_return true;
}

// `count` 0: until interrupted. The readings are scaled with `record`.
Transaction PollReadings(uclTzif& link, clsInstrument& record, int count) {
  ReplySink sink(&record);
  for (int polls = 0; count == 0 || polls < count; ++polls) {
    if (polls > 0) co_await link.WaitTicks(uclTzif::kDenstyPollTicks);
    const LinkStatus ended =
        co_await link.SendAndWait(sink, uclTzif::kDenstyCommand, LinkStatus::ReadWaiting);
    if (ended != LinkStatus::Complete) co_return false;
  }
  co_return true;
}

class LiveCommand final : public InstrumentCommand {
 protected:
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kCount, QStringLiteral("Stop after N readings (default: run until interrupted)."),
                      QStringLiteral("N")});
  }

  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    if (!parser.isSet(kCount)) return std::nullopt;
    const std::optional<int> count = WholeNumber(parser.value(kCount), 1, kMostReadings);
    if (!count) return Usage(QStringLiteral("--count takes a whole number from 1 to %1").arg(kMostReadings));
    count_ = *count;
    return std::nullopt;
  }

  int Talk(InstrumentSession& session) override {
    clsInstrument record;
    const Outcome scaling = session.Run(ReadScaling(session.Link(), record), "Reading the channels");
    if (scaling != Outcome::Done) return ReportFailure(session, scaling, "live");
    session.SetReadingsObserver([&record](const std::array<Single, kSensorChannels>& values) {
      std::string line;
      for (int channel = 0; channel < kSensorChannels; ++channel) {
        if (channel > 0) line += '\t';
        line += FormatGasValue(values[static_cast<std::size_t>(channel)], record.GasPoint(channel));
      }
      PrintLine(line);
    });
    const Outcome polled = session.Run(PollReadings(session.Link(), record, count_), "Live");
    session.SetReadingsObserver({});
    if (polled != Outcome::Done) return ReportFailure(session, polled, "live");
    return kExitOk;
  }

 private:
  static constexpr int kMostReadings = 1000000;
  int count_ = 0;
};

}  // namespace

KV_DEFINE_COMMAND(LiveCommand, .name = "live", .arguments = "[--count N]",
                    .summary = "Print the seven current readings once a second, tab-separated.",
                    .details = "Runs until interrupted (Ctrl-C) unless --count is given.",
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
