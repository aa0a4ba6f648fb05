// link_bench: how long the link takes for a full read and a full write of the
// simulated instrument over a pseudo-terminal, in-process (the real uclTzif
// and QtSerialTransport on a Qt event loop), with instant replies and with
// kvsim pacing its replies as a 921600 baud line. Beside the link's figures
// it times the same exchanges by a minimal blocking client (the floor set by
// the pseudo-terminal and kvsim) and sums the program's own turnaround.
// Prints figures; asserts nothing.
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "files/kvd_reader.h"
#include "files/kvd_writer.h"
#include "files/scramble.h"
#include "link/read_commands.h"
#include "link/transactions.h"
#include "link_rig.h"
#include "model/instrument_settings.h"
#include "raw_client.h"

namespace kv::bench {
namespace {

constexpr long kBaud = 921600;
constexpr double kBitsPerByte = 10.0;
constexpr int kRoundTrips = kReadCommandLines;
constexpr std::string_view kShortCommand = "AP,R,";

struct Sample {
  double wallMs = 0;
  double cpuMs = 0;
  double programMs = 0;  // turnaround inside the program; -1 for the raw client
  LineBytes bytes;
  bool ok = false;
};

double CpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The median and the fastest of a series of runs.
struct Summary {
  Sample median;
  Sample fastest;
};

Summary Summarise(std::vector<Sample> samples) {
  std::sort(samples.begin(), samples.end(),
            [](const Sample& a, const Sample& b) { return a.wallMs < b.wallMs; });
  return {samples[samples.size() / 2], samples.front()};
}

// Times one transaction; `prepare` runs first, unmeasured, and builds it.
Sample Measure(LinkRig& rig, const std::function<Transaction()>& prepare) {
  Transaction transaction = prepare();
  rig.ResetStats();
  const double cpuBefore = CpuMs();
  const auto start = std::chrono::steady_clock::now();
  Sample sample;
  sample.ok = rig.Run(std::move(transaction));
  sample.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  sample.cpuMs = CpuMs() - cpuBefore;
  sample.bytes = rig.Stats().bytes;
  sample.programMs = rig.Stats().turnaroundMs;
  return sample;
}

Sample MeasureRaw(const std::string& device, std::span<const std::string> commands) {
  const double cpuBefore = CpuMs();
  const RawResult raw = RawExchanges(device, commands);
  return Sample{raw.wallMs, CpuMs() - cpuBefore, -1, raw.bytes, raw.ok};
}

// The replies go into `record`.
Transaction BareRoundTrips(uclTzif& link, clsInstrument& record, int count) {
  ReplySink sink(&record);
  for (int i = 0; i < count; ++i) {
    const LinkStatus ended = co_await link.SendAndWait(sink, kShortCommand, LinkStatus::ReadWaiting);
    if (ended != LinkStatus::Complete) co_return false;
  }
  co_return true;
}

// The settings of a file that sets every write group, put over the current
// record the way `kvmaint send` does: the file over a copy of what was read,
// then the flagged settings into the current record. The interval differs
// from the instrument's so that its group goes out too.
void PrepareUpload(const clsInstrument& read, clsInstrument& current) {
  clsInstrument file = read;
  file.SetIntervals(read.Intervals() == 180 ? 300 : 180);
  std::string content;
  for (const std::string& text : MaintenanceRecordTexts(file)) content += ScrambleLine(text) + "\r\n";
  current = read;
  clsInstrument fromFile;
  CopyInstrument(fromFile, current, false);
  fromFile.ClearChangeFlags();
  (void)ReadMaintenanceText(fromFile, content);
  CopyInstrument(current, fromFile, true);
}

std::vector<std::string> ReadList() {
  std::vector<std::string> commands;
  for (const std::string& command : ReadCommands()) {
    if (!command.empty()) commands.push_back(command);
  }
  return commands;
}

std::string Machine() {
  utsname name{};
  ::uname(&name);
  std::string cpu = "unknown CPU";
  std::ifstream info("/proc/cpuinfo");
  for (std::string line; std::getline(info, line);) {
    if (line.rfind("model name", 0) == 0) {
      cpu = line.substr(line.find(':') + 2);
      break;
    }
  }
  return std::string(name.sysname) + " " + name.release + " " + name.machine + ", " + cpu + ", " +
         std::to_string(::sysconf(_SC_NPROCESSORS_ONLN)) + " CPUs";
}

double WireMs(const LineBytes& bytes) { return static_cast<double>(bytes.Total()) * kBitsPerByte * 1000.0 / kBaud; }

void PrintHeader(bool paced) {
  std::printf("  %-30s %9s %9s %8s %8s %7s", "", "median ms", "min ms", "cpu ms", "prog ms", "bytes");
  if (paced) std::printf(" %8s %9s", "wire ms", "wall/wire");
  std::printf("\n");
}

void Print(const char* what, const std::vector<Sample>& samples, bool paced) {
  const Summary s = Summarise(samples);
  std::printf("  %-30s %9.2f %9.2f %8.2f ", what, s.median.wallMs, s.fastest.wallMs, s.median.cpuMs);
  if (s.median.programMs < 0) {
    std::printf("%8s", "-");
  } else {
    std::printf("%8.2f", s.median.programMs);
  }
  std::printf(" %7zu", s.median.bytes.Total());
  if (paced) {
    const double wire = WireMs(s.median.bytes);
    std::printf(" %8.2f %9.3f", wire, s.median.wallMs / wire);
  }
  const bool ok = std::all_of(samples.begin(), samples.end(), [](const Sample& x) { return x.ok; });
  std::printf("%s\n", ok ? "" : "  FAILED");
}

void PrintRatio(const char* what, const std::vector<Sample>& a, const std::vector<Sample>& b) {
  const Summary x = Summarise(a);
  const Summary y = Summarise(b);
  std::printf("  %-30s %9.3f %9.3f\n", what, x.median.wallMs / y.median.wallMs,
              x.fastest.wallMs / y.fastest.wallMs);
}

bool AllOk(const std::vector<Sample>& samples) {
  return std::all_of(samples.begin(), samples.end(), [](const Sample& s) { return s.ok; });
}

// One simulator. Each round times the raw client, then the link on the same
// port (connected anew, unmeasured), so that both see the same machine load.
bool RunMode(const QString& simulator, const char* title, const QStringList& simOptions, int rounds,
             bool paced) {
  SimulatorProcess sim(simulator, simOptions);
  if (sim.Device().isEmpty()) {
    std::fprintf(stderr, "link_bench: kvsim did not start\n");
    return false;
  }
  const std::string device = sim.Device().toStdString();
  const std::vector<std::string> bareCommands(kRoundTrips, std::string(kShortCommand));
  const std::vector<std::string> readList = ReadList();
  LinkRig rig(sim.Device());
  clsInstrument read;
  clsInstrument current;
  std::vector<Sample> rawBare, rawRead, bare, reads, writes;
  for (int round = 0; round < rounds; ++round) {
    rawBare.push_back(MeasureRaw(device, bareCommands));
    rawRead.push_back(MeasureRaw(device, readList));
    if (!rig.Connect()) {
      std::fprintf(stderr, "link_bench: no answer from kvsim on %s\n", device.c_str());
      return false;
    }
    bare.push_back(Measure(rig, [&] { return BareRoundTrips(rig.Link(), read, kRoundTrips); }));
    reads.push_back(Measure(rig, [&] { return GetInstrument(rig.Link(), read); }));
    writes.push_back(Measure(rig, [&] {
      PrepareUpload(read, current);
      return SetInstrument(rig.Link(), current, false);
    }));
    rig.Close();
  }
  std::printf("\n%s (%d rounds)\n", title, rounds);
  PrintHeader(paced);
  Print("raw client, 200 x AP,R,", rawBare, paced);
  Print("raw client, the read list", rawRead, paced);
  Print("link, 200 x AP,R,", bare, paced);
  Print("link, full read (200 cmds)", reads, paced);
  Print("link, full write (all groups)", writes, paced);
  PrintRatio("full read / link round trips", reads, bare);
  PrintRatio("full read / raw read list", reads, rawRead);
  return AllOk(rawBare) && AllOk(rawRead) && AllOk(bare) && AllOk(reads) && AllOk(writes);
}

}  // namespace
}  // namespace kv::bench

// Options: --repeat N (rounds per mode, default 11), --kvsim PATH (another
// simulator build; default the one built beside this program).
int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  const auto option = [&args](const char* name) {
    const qsizetype at = args.indexOf(QLatin1String(name));
    return at > 0 && at + 1 < args.size() ? args[at + 1] : QString();
  };
  const int rounds = option("--repeat").isEmpty() ? 11 : std::max(1, option("--repeat").toInt());
  const QString simulator = option("--kvsim").isEmpty() ? QStringLiteral(KV_KVSIM_PATH) : option("--kvsim");
  std::printf("machine: %s\n", kv::bench::Machine().c_str());
  std::printf("simulator: %s\n", qPrintable(simulator));
  std::printf("prog ms: the link's own turnaround, from a reply's arrival to the next request\n");
  const bool instant = kv::bench::RunMode(simulator, "instant replies", {}, rounds, false);
  const bool paced = kv::bench::RunMode(simulator, "kvsim --baud 921600",
                                        {QStringLiteral("--baud"), QStringLiteral("921600")}, rounds, true);
  return instant && paced ? 0 : 1;
}
