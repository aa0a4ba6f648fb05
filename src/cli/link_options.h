#pragma once
// The options every instrument command takes: which port, how long to wait
// for a reply, how often to resend, where to keep the session log, and the
// data folder.
#include <QCommandLineParser>
#include <QString>
#include <optional>

namespace kv::cli {

struct LinkOptions {
  QString port;  // empty: the USB infrared adapter
  int timeoutSeconds = 3;
  int retry = 3;
  QString logPath;  // empty: no session log
  QString dataDir;  // empty: KVMAINTENANCE_HOME or the per-user folder
};

inline constexpr int kLongestTimeoutSeconds = 3600;
inline constexpr int kMostRetries = 100;

void DeclareLinkOptions(QCommandLineParser& parser);
// The options given, or nullopt with `error` set when a value is not usable.
std::optional<LinkOptions> ReadLinkOptions(const QCommandLineParser& parser, QString* error);

// A whole number in [lowest, highest] from an option's text.
std::optional<int> WholeNumber(const QString& text, int lowest, int highest);

}  // namespace kv::cli
