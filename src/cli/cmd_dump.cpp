// kvmaint dump: the instrument's memories into files: the flash or FRAM image,
// a listing of a logger area, or an optional module's memory. The file is
// checked before the instrument is asked; a cancelled image stream is drained.
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/cli_context.h"
#include "cli/cli_io.h"
#include "cli/instrument_command.h"
#include "link/dump_files.h"
#include "link/transactions.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

const QString kFlash = QStringLiteral("flash");
const QString kFram = QStringLiteral("fram");
const QString kListing = QStringLiteral("listing");
const QString kModule = QStringLiteral("module");
const QString kText = QStringLiteral("text");
const QString kSize = QStringLiteral("size");

constexpr std::uint64_t kLargestModuleSize = 16 * 1024 * 1024;
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::path(path), ignored);
}

// "12.3 KiB" style sizes for the progress line.
std::string Amount(double bytes) {
  char text[32];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%.0f B", bytes);
  } else if (bytes < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f KiB", bytes / 1024);
  } else {
    std::snprintf(text, sizeof text, "%.2f MiB", bytes / (1024 * 1024));
  }
  return text;
}

// Bytes, rate and time left on one rewritten line of stderr; nothing when
// stderr is not a terminal.
class ByteProgress {
 public:
  ByteProgress() : terminal_(CurrentContext().stderrTerminal) {}

  void Start(std::string label) {
    label_ = std::move(label);
    started_ = std::chrono::steady_clock::now();
  }
  void Show(std::uint64_t received, std::uint64_t expected) {
    const auto now = std::chrono::steady_clock::now();
    if (!terminal_ || (received < expected && shown_ && now - lastDrawn_ < kRedrawEvery)) return;
    lastDrawn_ = now;
    shown_ = true;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    const double rate = seconds > 0 ? static_cast<double>(received) / seconds : 0;
    std::string left = "--:--:--";
    if (rate > 0) {
      left = FormatElapsed(static_cast<long long>(static_cast<double>(expected - received) / rate));
    }
    *CurrentContext().err << '\r' << label_ << ' ' << Amount(static_cast<double>(received)) << " / "
                          << Amount(static_cast<double>(expected)) << "  " << Amount(rate) << "/s  "
                          << left << " left  " << std::flush;
  }
  void Finish() {
    if (shown_) *CurrentContext().err << '\n' << std::flush;
    shown_ = false;
  }

 private:
  bool terminal_;
  bool shown_ = false;
  std::string label_;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point lastDrawn_;
};

enum class DumpKind { Flash, Fram, Listing, Module };

class DumpCommand final : public InstrumentCommand {
 protected:
  void DeclareOwn(QCommandLineParser& parser) override {
    parser.addOption({kFlash, QStringLiteral("The flash memory (4 MiB image) into FILE.")});
    parser.addOption({kFram, QStringLiteral("The FRAM (8 KiB image) into FILE.")});
    parser.addOption({kListing, QStringLiteral("A hexadecimal listing of the memory read with CODE."),
                      QStringLiteral("CODE")});
    parser.addOption({kModule, QStringLiteral("The memory of the optional module INDEX (0-255)."),
                      QStringLiteral("INDEX")});
    parser.addOption({kText, QStringLiteral("With --module: the text of its memory-transfer frames."),
                      QStringLiteral("TEXT")});
    parser.addOption({kSize, QStringLiteral("With --module: the image size in bytes."),
                      QStringLiteral("SIZE")});
  }

  std::optional<int> Prepare(const QCommandLineParser& parser) override {
    const int forms = (parser.isSet(kFlash) ? 1 : 0) + (parser.isSet(kFram) ? 1 : 0) +
                      (parser.isSet(kListing) ? 1 : 0) + (parser.isSet(kModule) ? 1 : 0);
    if (forms != 1) return Usage(QStringLiteral("give one of --flash, --fram, --listing, --module"));
    path_ = ToFsPath(parser.positionalArguments().constFirst()).string();
    if (parser.isSet(kFlash)) {
      kind_ = DumpKind::Flash;
      expected_ = kFlashImageSize;
    } else if (parser.isSet(kFram)) {
      kind_ = DumpKind::Fram;
      expected_ = kFramImageSize;
    } else if (parser.isSet(kListing)) {
      kind_ = DumpKind::Listing;
      code_ = Bytes(parser.value(kListing));
      if (code_.size() != 2 || !std::isupper(static_cast<unsigned char>(code_[0])) ||
          !std::isupper(static_cast<unsigned char>(code_[1]))) {
        return Usage(QStringLiteral("a listing code is two capital letters (\"ES\")"));
      }
    } else {
      kind_ = DumpKind::Module;
      bool indexOk = false;
      bool sizeOk = false;
      moduleIndex_ = parser.value(kModule).toInt(&indexOk);
      expected_ = parser.value(kSize).toULongLong(&sizeOk);
      text_ = Bytes(parser.value(kText));
      if (!indexOk || moduleIndex_ < 0 || moduleIndex_ > 255) {
        return Usage(QStringLiteral("a module index is 0 to 255"));
      }
      if (!sizeOk || expected_ == 0 || expected_ > kLargestModuleSize) {
        return Usage(QStringLiteral("--module needs --size of 1 to %1 bytes").arg(kLargestModuleSize));
      }
    }
    // The listing's size is known only at the end: its folder is checked.
    const std::uint64_t room = kind_ == DumpKind::Listing ? 0 : expected_;
    if (const std::string problem = DumpFileProblem(path_, room); !problem.empty()) {
      PrintError(problem + " (nothing was asked of the instrument)");
      return kExitUsage;
    }
    return std::nullopt;
  }

  std::string_view HistoryOperation() const override { return history::kOpDump; }

  int Talk(InstrumentSession& session) override {
    History().file = path_;
    DumpOptions options;
    options.onProgress = [this](std::uint64_t received, std::uint64_t expected) {
      received_ = received;
      progress_.Show(received, expected);
    };
    options.onFileError = [this](const std::string& reason) { fileError_ = reason; };
    options.onDrained = [this](const DrainResult& drained) { drained_ = drained; };
    uclTzif& link = session.Link();
    link.SetCancel(false);
    // Ctrl-C lets the dump drain what the instrument still sends.
    session.SetWindDownOnInterrupt(true);
    progress_.Start(Label());
    const Outcome outcome = session.Run(MakeTransaction(link, options), Label());
    progress_.Finish();
    History().detail = Label() + ": " + std::to_string(received_) + " bytes";
    if (outcome == Outcome::Done) {
      PrintLine(path_);
      return kExitOk;
    }
    if (!fileError_.empty()) PrintError(fileError_);
    if (kind_ != DumpKind::Listing && FileExists(path_)) {
      PrintError(path_ + " holds the " + std::to_string(received_) + " of " +
                 std::to_string(expected_) + " bytes that arrived; the rest is 0xFF");
    }
    ReportDrain();
    if (outcome == Outcome::Interrupted) return kExitInterrupted;
    if (!fileError_.empty()) return kExitFailure;
    if (kind_ == DumpKind::Flash || kind_ == DumpKind::Fram) {
      PrintError("dump failed at " + session.FailureText(received_ > 0 ? InstrumentSession::Awaited::StreamStarted
                                                               : InstrumentSession::Awaited::StreamNotStarted));
      return kExitFailure;
    }
    return ReportFailure(session, outcome, "dump");
  }

 private:
  std::string Label() const {
    switch (kind_) {
      case DumpKind::Flash: return "Flash";
      case DumpKind::Fram: return "FRAM";
      case DumpKind::Listing: return "Listing";
      case DumpKind::Module: return "Module";
    }
    return "Dump";
  }

  // What became of the stream the instrument went on sending.
  void ReportDrain() const {
    if (!drained_) return;
    if (!drained_->silent) {
      PrintError("the instrument is still sending its memory: switch the instrument off and on "
                 "before the next connection");
    } else {
      // A memory may pause longer than the drain waits: the advice stays.
      PrintError("the line fell silent after the cancel (" + std::to_string(drained_->droppedBytes) +
                 " more bytes came and were dropped); should the next connection get no answer, "
                 "switch the instrument off and on");
    }
  }

  Transaction MakeTransaction(uclTzif& link, const DumpOptions& options) const {
    switch (kind_) {
      case DumpKind::Flash:
        return GetBinDump(link, path_, false, kFlashFreshImageBlocks, options);
      case DumpKind::Fram:
        return GetBinDumpFRAM(link, path_, options);
      case DumpKind::Listing:
        return GetRomDump(link, path_, code_, options);
      case DumpKind::Module:
        break;
    }
    return GetOptBinDump(link, moduleIndex_, text_, path_, expected_, options);
  }

  DumpKind kind_ = DumpKind::Flash;
  std::string path_;
  std::string code_;
  std::string text_;
  int moduleIndex_ = 0;
  std::uint64_t expected_ = 0;
  std::uint64_t received_ = 0;
  std::string fileError_;
  std::optional<DrainResult> drained_;
  ByteProgress progress_;
};

}  // namespace

KV_DEFINE_COMMAND(DumpCommand, .name = "dump", .arguments = "(--flash | --fram | --listing CODE | --module INDEX --text TEXT --size SIZE) FILE",
                  .summary = "Reads an instrument memory into FILE (image or listing).",
                  .details = "The flash (4194304 bytes) and FRAM (8192 bytes) images are created "
                             "filled with 0xFF and overwritten as the bytes arrive; an interrupted "
                             "or failed dump leaves the image at full size with 0xFF where nothing "
                             "came. A listing shows the memory read with CODE + \",R,\" in pages "
                             "of 16 rows. FILE is checked before the instrument is asked (its "
                             "folder, and room for an image). After Ctrl-C the rest of a stream "
                             "is read and dropped for up to 10 s; an instrument that goes on "
                             "sending must be switched off and on.\nExit status 0 when everything "
                             "arrived, 1 when it did not, 2 when FILE cannot be written (found "
                             "before the start), 130 on Ctrl-C.",
                  .group = CommandGroup::Instrument, .positionalArguments = 1)

}  // namespace kv::cli
