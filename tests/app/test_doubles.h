#pragma once
// Test doubles for the window: dialogs that answer from a script and record
// what was shown, and a port that answers the connect probe and records every
// line written.
#include <gtest/gtest.h>

#include <QString>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "link/transport.h"
#include "protocol/framing.h"

namespace kv::test {

class ScriptedDialogs final : public Dialogs {
 public:
  struct Call {
    std::string kind;  // "show", "ask", "open", "save"
    Icon icon;
    QString title;
    QString text;
  };

  std::vector<Call> calls;
  std::deque<bool> answers;  // for Ask, in order
  std::deque<QString> files;  // for OpenFile and SaveFile, in order
  std::deque<bool> reviews;   // for Review, in order
  std::vector<std::vector<ReviewLine>> reviewed;  // what each Review listed

  void Show(Icon icon, const QString& title, const QString& text) override {
    calls.push_back({"show", icon, title, text});
  }
  bool Ask(Icon icon, const QString& title, const QString& text) override {
    calls.push_back({"ask", icon, title, text});
    if (answers.empty()) {
      ADD_FAILURE() << "unscripted question: " << text.toStdString();
      return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  QString OpenFile(const QString& filter) override { return NextFile("open", filter); }
  QString SaveFile(const QString& filter) override { return NextFile("save", filter); }
  bool Review(const QString& title, const QString& question,
              const std::vector<ReviewLine>& lines) override {
    calls.push_back({"review", Icon::Question, title, question});
    reviewed.push_back(lines);
    if (reviews.empty()) {
      ADD_FAILURE() << "unscripted review";
      return false;
    }
    const bool answer = reviews.front();
    reviews.pop_front();
    return answer;
  }

 private:
  QString NextFile(const char* kind, const QString& filter) {
    calls.push_back({kind, Icon::None, QString(), filter});
    if (files.empty()) return {};
    QString file = files.front();
    files.pop_front();
    return file;
  }
};

// A port without modem lines (like a pseudo-terminal): it counts as connected
// once open. It answers the connect probe as a KORVIN would and hands every
// other line to `answer`, whose reply (possibly empty) is delivered at once.
class FakeTransport final : public Transport {
 public:
  TransportEvents* events = nullptr;
  std::function<std::string(const std::string& line)> answer;
  std::vector<std::string> written;
  bool opens = true;
  OpenFailure refusal = OpenFailure::PermissionDenied;
  std::string port = "/dev/ttyUSB0";

  void Attach(TransportEvents* attached) override { events = attached; }
  OpenResult Open() override {
    if (!opens) return OpenResult::Failed(refusal, {}, port);
    open_ = true;
    return OpenResult::Opened();
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  bool Write(std::string_view bytes) override {
    written.emplace_back(bytes);
    const std::string reply = Reply(written.back());
    if (!reply.empty() && events != nullptr) events->OnBytesReceived(reply);
    return true;
  }
  void SetDtr(bool on) override { dtr = on; }
  void SetRts(bool on) override { rts = on; }
  void SetHandshaking(int mode) override { handshaking_ = mode; }
  int Handshaking() const override { return handshaking_; }
  bool SetSettings(std::string_view settings) override {
    settings_ = settings;
    return true;
  }
  std::string Settings() const override { return settings_; }
  std::optional<ModemLines> ReadModemLines() const override { return std::nullopt; }

  bool dtr = false;
  bool rts = false;

 private:
  std::string Reply(const std::string& line) const {
    if (line.find("RC,R,") != std::string::npos) return BuildCommandLine("RC,R,KORVIN,");
    return answer ? answer(line) : std::string();
  }

  bool open_ = false;
  int handshaking_ = 0;
  std::string settings_;
};

}  // namespace kv::test
