#include "link_rig.h"

namespace kv::bench {
namespace {

constexpr int kStartMs = 10000;
constexpr std::string_view kAdapterSettings = "921600,n,8,1";

}  // namespace

SimulatorProcess::SimulatorProcess(const QString& program, const QStringList& options) {
  process_.setProcessChannelMode(QProcess::SeparateChannels);
  process_.setStandardErrorFile(QProcess::nullDevice());
  process_.start(program, options);
  if (!process_.waitForStarted(kStartMs)) return;
  while (!process_.canReadLine() && process_.waitForReadyRead(kStartMs)) {
  }
  device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
}

SimulatorProcess::~SimulatorProcess() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(kStartMs)) process_.kill();
  process_.waitForFinished(kStartMs);
}

LinkRig::LinkRig(const QString& device) {
  serial_.SetPortName(device);
  serial_.Attach(this);
  link_.SetListener(this);
  link_.SetTimeout(3);
  link_.SetRetry(3);
}

LinkRig::~LinkRig() {
  ticker_.Stop();
  link_.SetListener(nullptr);
  serial_.Close();
}

bool LinkRig::Connect() {
  connected_ = false;
  gaveUp_ = false;
  link_.SetSerialComm(true);
  link_.SetRTSEnable(true);
  link_.SetDTREnable(true);
  link_.SetHandshaking(2);
  link_.SetSettings(kAdapterSettings);
  if (!link_.SetPortOpen(true)) return false;
  ticker_.Start();
  while (!connected_ && !gaveUp_) loop_.exec();
  return connected_;
}

void LinkRig::Close() {
  ticker_.Stop();
  serial_.Close();
}

bool LinkRig::Run(Transaction transaction) {
  done_ = false;
  const bool started = link_.Start(std::move(transaction), [this](bool ok) {
    result_ = ok;
    done_ = true;
    loop_.quit();
  });
  if (!started) return false;
  while (!done_) loop_.exec();
  return result_;
}

void LinkRig::OnBytesReceived(std::string_view bytes) {
  stats_.Arrived(bytes.size());
  link_.OnBytesReceived(bytes);
}

void LinkRig::OnConnect() {
  connected_ = true;
  loop_.quit();
}

void LinkRig::AlarmMessage(const std::string&) {
  gaveUp_ = true;
  loop_.quit();
}

}  // namespace kv::bench
