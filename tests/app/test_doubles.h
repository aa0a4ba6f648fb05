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
#include "support/scripted_transport.h"
#include "protocol/framing.h"

namespace kv::test {

class ScriptedDialogs final : public Dialogs {
 public:
  struct Call {
    std::string kind;  // "show", "ask", "open", "save", "text", "table"
    Icon icon;
    QString title;
    QString text;
    QString suggestedName = {};  // what a save dialog offered
  };
  struct Table {
    QString title;
    QStringList headers;
    std::vector<QStringList> rows;
  };

  std::vector<Call> calls;
  std::deque<bool> answers;  // for Ask, in order
  std::deque<QString> files;  // for OpenFile and SaveFile, in order
  std::deque<bool> reviews;   // for Review, in order
  std::vector<std::vector<ReviewLine>> reviewed;  // what each Review listed
  std::deque<QString> texts;  // for AskText, in order; none left: Cancel
  std::vector<Table> tables;  // what each ShowTable showed

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
  QString SaveFile(const QString& filter, const QString& suggestedName = {}) override {
    return NextFile("save", filter, suggestedName);
  }
  QString AskText(const QString& title, const QString& label, const QString&) override {
    calls.push_back({"text", Icon::None, title, label});
    if (texts.empty()) return {};
    QString text = texts.front();
    texts.pop_front();
    return text;
  }
  void ShowTable(const QString& title, const QStringList& headers,
                 const std::vector<QStringList>& rows) override {
    calls.push_back({"table", Icon::None, title, QString()});
    tables.push_back({title, headers, rows});
  }
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
  QString NextFile(const char* kind, const QString& filter, const QString& suggestedName = {}) {
    calls.push_back({kind, Icon::None, QString(), filter, suggestedName});
    if (files.empty()) return {};
    QString file = files.front();
    files.pop_front();
    return file;
  }
};

// A port without modem lines (like a pseudo-terminal): it counts as connected
// once open. It answers the connect probe as a KORVIN would and hands every
// other line to `answer`, whose reply (possibly empty) is delivered at once.
class FakeTransport final : public testsupport::ScriptedTransport {
 public:
  FakeTransport() {
    modemLines = std::nullopt;
    portName = "/dev/ttyUSB0";
    OnWrite([this](std::string_view line) {
      const std::string reply = Reply(std::string(line));
      if (!reply.empty()) Deliver(reply);
    });
  }

  std::function<std::string(const std::string& line)> answer;
  // False: the instrument is not there yet (the probe, sent as the port
  // opens, goes unanswered).
  bool answersProbe = true;

 private:
  std::string Reply(const std::string& line) const {
    if (line.find("RC,R,") != std::string::npos) {
      return answersProbe ? BuildCommandLine("RC,R,KORVIN,") : std::string();
    }
    return answer ? answer(line) : std::string();
  }
};

}  // namespace kv::test
