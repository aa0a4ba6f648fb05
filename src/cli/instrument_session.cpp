#include "cli/instrument_session.h"

#include <QTimer>
#include <filesystem>
#include <system_error>

#include "common/messages.h"
#include "link/command_subjects.h"
#include "protocol/frame_view.h"
#include "protocol/framing.h"
#include "qtedge/data_folder.h"

namespace kv::cli {
namespace {

// A catalogue text without the CR LF some of them end with.
std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return text;
}

// The command text of a framed line ("XS,W,06,..."): what lies between the
// block and ETX. A line of another shape is shown readable as a whole.
std::string CommandTextOf(std::string_view framedLine) {
  const FrameView line(framedLine);
  if (!line.WellFormed()) return ToReadable(framedLine);
  return std::string(line.Text());
}

}  // namespace

InstrumentSession::InstrumentSession(const LinkOptions& options,
                                     std::unique_ptr<SessionServices> services)
    : options_(options), services_(std::move(services)) {
  services_->Port().Attach(&link_);
  link_.SetListener(this);
  link_.SetTimeout(options_.timeoutSeconds);
  link_.SetRetry(options_.retry);
  services_->SetInterruptHandler([this] { OnInterrupt(); });
}

InstrumentSession::~InstrumentSession() {
  services_->StopTicks();
  link_.SetListener(nullptr);
  services_->Port().Close();
  services_->Port().Attach(nullptr);
}

void InstrumentSession::Wake() { services_->Wake(); }

void InstrumentSession::Wait(const std::function<bool()>& finished) { services_->RunUntil(finished); }

void InstrumentSession::OnInterrupt() {
  link_.SetCancel(true);
  if (windDownOnInterrupt_ && link_.TaskRunning()) {
    Wake();
    return;
  }
  services_->StopTicks();
  services_->Port().Close();
  Wake();
}

Outcome InstrumentSession::Connect(const QString& port) {
  const Outcome opened = OpenPort(port);
  if (opened != Outcome::Done) return opened;
  Wait([this] { return connected_ || connectGaveUp_ || lineLost_; });
  if (services_->Interrupted()) return Outcome::Interrupted;
  if (connected_) return Outcome::Done;
  PrintError(lineLost_ ? QStringLiteral("the line to the instrument was lost while connecting")
                       : Text(Trimmed(FormatMessage(msg::kNoResponse))));
  return Outcome::Failed;
}

Outcome InstrumentSession::OpenPort(const QString& port) {
  if (!options_.logPath.isEmpty()) {
    const std::filesystem::path log = ToFsPath(options_.logPath);
    std::error_code ignored;
    std::filesystem::remove(log, ignored);
    if (!link_.Log().Open(log.string())) {
      PrintError(QStringLiteral("cannot write the session log %1").arg(options_.logPath));
      return Outcome::Failed;
    }
    link_.Log().SetFailureHandler([path = options_.logPath](const std::string& reason) {
      PrintError(QStringLiteral("cannot write the session log %1 (%2); it ends here").arg(path, Text(reason)));
    });
  }
  services_->SetPortName(port);
  link_.SetSerialComm(true);
  link_.SetRTSEnable(true);
  link_.SetDTREnable(true);
  link_.SetHandshaking(2);
  link_.SetSettings(kAdapterSettings);
  const OpenResult opened = link_.SetPortOpen(true);
  if (!opened) {
    PrintError(OpenFailureText(opened));
    return Outcome::Failed;
  }
  services_->StartTicks(link_);
  return Outcome::Done;
}

Outcome InstrumentSession::Run(Transaction transaction, std::string progressLabel) {
  if (services_->Interrupted()) return Outcome::Interrupted;
  transactionDone_ = false;
  transactionResult_ = false;
  progress_.SetLabel(std::move(progressLabel));
  const bool started = link_.Start(std::move(transaction), [this](bool ok) {
    transactionResult_ = ok;
    transactionDone_ = true;
    Wake();
  });
  if (!started) {
    PrintError("another transaction is still running");
    return Outcome::Failed;
  }
  // Long waits without counts still show that time passes.
  QTimer elapsed;
  QObject::connect(&elapsed, &QTimer::timeout, [this] { progress_.ShowElapsed(); });
  elapsed.start(1000);
  Wait([this] { return transactionDone_; });
  if (services_->Interrupted() && windDownOnInterrupt_ && !transactionDone_) {
    services_->RunAfterInterrupt([this] { return transactionDone_; });
  }
  elapsed.stop();
  progress_.Finish();
  if (services_->Interrupted()) return Outcome::Interrupted;
  return transactionResult_ ? Outcome::Done : Outcome::Failed;
}

std::string InstrumentSession::FailureText(Awaited awaited) const {
  std::string reason;
  if (lineLost_) {
    reason = "the line to the instrument was lost";
  } else if (link_.Status() == LinkStatus::Cancelled) {
    reason = "cancelled";
  } else if (awaited == Awaited::StreamStarted) {
    reason = "the stream stopped (nothing came for " + std::to_string(link_.StreamSilenceLimit()) + " s)";
  } else if (awaited == Awaited::StreamNotStarted) {
    reason = "no answer within " + std::to_string(options_.timeoutSeconds) + " s";
  } else if (link_.Status() == LinkStatus::Complete) {
    // Every line was answered; the instrument's own answer was the failure.
    reason = "the instrument answered but did not report it done";
  } else if (link_.ReplyReceived()) {
    reason = "the reply was refused (" + std::to_string(options_.retry) + " resends)";
  } else {
    reason = "no answer within " + std::to_string(options_.timeoutSeconds) + " s (" +
             std::to_string(options_.retry) + " resends)";
  }
  // The settings the line carries first, the line itself for service staff.
  const std::string line = "\"" + CommandTextOf(link_.LastLineSent()) + "\"";
  const std::string settings = CommandSettings(CommandTextOf(link_.LastLineSent()), clsInstrument{});
  return (settings.empty() ? line : settings + " (" + line + ")") + ": " + reason;
}

void InstrumentSession::OnConnect() {
  connected_ = true;
  Wake();
}

void InstrumentSession::AlarmMessage(const std::string&) {
  connectGaveUp_ = true;
  Wake();
}

void InstrumentSession::InstMessage(const std::string& text) { PrintError(Trimmed(text)); }

void InstrumentSession::InterMessage(const std::string& text) { PrintError(Trimmed(text)); }

void InstrumentSession::LinkLost() {
  lineLost_ = true;
  Wake();
}

void InstrumentSession::Densty(const std::array<Single, kSensorChannels>& values) {
  if (readingsObserver_) readingsObserver_(values);
}

void InstrumentSession::Progress(int done, int total) { progress_.Show(done, total); }

}  // namespace kv::cli
