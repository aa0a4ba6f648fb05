// kvmaint live: the seven current readings, once a second.
#include <cstdio>
#include <memory>

#include "cli/channel_names.h"
#include "cli/cli_context.h"
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "common/clock.h"
#include "ops/service_live.h"
#include "protocol/format_gas_value.h"
#include "qtedge/data_folder.h"
#include "rules/edit_check.h"

namespace kv::cli {
namespace {

const QString kCount = QStringLiteral("count");
const QString kCsv = QStringLiteral("csv");

constexpr int kColumnWidth = 11;

// "CH4 %LEL": the gas name and unit of a channel.
std::string ColumnTitle(const clsInstrument& record, int channel) {
  std::string title = ChannelName(record, channel);
  const std::string unit = std::string(rules::Trim(record.GasUnit(channel)));
  if (!unit.empty()) title += " " + unit;
  return title;
}

std::string Padded(std::string text) {
  if (text.size() < kColumnWidth) text.insert(0, kColumnWidth - text.size(), ' ');
  return text;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

class LiveCommand final : public InstrumentCommand {
 protected:
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kCount, QStringLiteral("Stop after N readings (default: run until interrupted)."),
                      QStringLiteral("N")});
    parser.addOption({kCsv, QStringLiteral("Also log the readings to FILE (a new file): a header, "
                                           "then the time and the seven readings per line."),
                      QStringLiteral("FILE")});
  }

  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    if (parser.isSet(kCount)) {
      const std::optional<int> count = WholeNumber(parser.value(kCount), 1, kMostReadings);
      if (!count) return Usage(QStringLiteral("--count takes a whole number from 1 to %1").arg(kMostReadings));
      count_ = *count;
    }
    if (parser.isSet(kCsv)) {
      const std::string path = ToFsPath(parser.value(kCsv)).string();
      // "x": a file that exists (perhaps another run's log) is never overwritten.
      csv_.reset(std::fopen(path.c_str(), "wx"));
      if (!csv_) {
        PrintError("cannot create the new file " + path + " (it may exist already)");
        return kExitUsage;
      }
    }
    return std::nullopt;
  }

  int Talk(InstrumentSession& session) override {
    clsInstrument record;
    const bool table = CurrentContext().stdoutTerminal;
    ops::LiveRequest request;
    request.count = count_;
    request.onChannels = [this, &record, table] { WriteHeaders(record, table); };
    request.onReadings = [this, &record, table] { WriteReadings(record, table); };
    const Outcome polled = session.Run(ops::RunLive(session.Link(), record, request), "Live");
    if (polled != Outcome::Done) return ReportFailure(session, polled, "live");
    return kExitOk;
  }

 private:
  void WriteHeaders(const clsInstrument& record, bool table) {
    std::string header = "time";
    std::string csvHeader = "time";
    for (int channel = 0; channel < kSensorChannels; ++channel) {
      header += Padded(ColumnTitle(record, channel));
      csvHeader += "," + ColumnTitle(record, channel);
    }
    // The time column is eight wide (HH:mm:ss).
    if (table) PrintLine(header.insert(4, 4, ' '));
    WriteCsv(csvHeader);
  }

  // Scripts read stdout when it is not a terminal: seven tab-separated
  // readings a line, as always.
  void WriteReadings(const clsInstrument& record, bool table) {
    const std::string now = FormatGeneralDate(clock_.Now());
    std::string line = table ? now.substr(now.size() - 8) : std::string();
    std::string csvLine = now;
    for (int channel = 0; channel < kSensorChannels; ++channel) {
      const std::string value =
          FormatGasValue(record.LimitValue(channel), record.GasPoint(channel));
      if (table) {
        line += Padded(value);
      } else {
        if (channel > 0) line += '\t';
        line += value;
      }
      csvLine += "," + value;
    }
    PrintLine(line);
    WriteCsv(csvLine);
  }

  void WriteCsv(const std::string& line) {
    if (!csv_) return;
    std::fputs((line + "\r\n").c_str(), csv_.get());
    std::fflush(csv_.get());
  }

  static constexpr int kMostReadings = 1000000;
  int count_ = 0;
  SystemClock clock_;
  std::unique_ptr<std::FILE, FileCloser> csv_;
};

}  // namespace

KV_DEFINE_COMMAND(LiveCommand, .name = "live", .arguments = "[--count N] [--csv FILE]",
                    .summary = "Print the seven current readings once a second.",
                    .details = "On a terminal: a header with each channel's gas name and unit, then\n"
                               "the time and the readings, special codes in words. Otherwise seven\n"
                               "tab-separated readings a line. --csv FILE also logs them to a new\n"
                               "file: a header, then the date and time and the readings per line.\n"
                               "Runs until interrupted (Ctrl-C) unless --count is given.",
                    .group = CommandGroup::Instrument, .positionalArguments = 0)

}  // namespace kv::cli
