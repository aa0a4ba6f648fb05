#include "cli/link_options.h"

namespace kv::cli {
namespace {

const QString kPort = QStringLiteral("port");
const QString kTimeout = QStringLiteral("timeout");
const QString kRetry = QStringLiteral("retry");
const QString kLog = QStringLiteral("log");
const QString kDataDir = QStringLiteral("data-dir");

}  // namespace

void DeclareLinkOptions(QCommandLineParser& parser) {
  parser.addOption({kPort, QStringLiteral("The serial port of the instrument (default: the USB "
                                          "infrared adapter)."),
                    QStringLiteral("DEVICE")});
  parser.addOption({kTimeout, QStringLiteral("Seconds to wait for each reply (default 3)."),
                    QStringLiteral("SECONDS")});
  parser.addOption({kRetry, QStringLiteral("Resends of a command before giving up, also the "
                                           "number of connect probes (default 3)."),
                    QStringLiteral("N")});
  parser.addOption({kLog, QStringLiteral("Write the session log to FILE (created or truncated)."),
                    QStringLiteral("FILE")});
  parser.addOption({kDataDir, QStringLiteral("The data folder (default: $KVMAINTENANCE_HOME or "
                                             "the per-user application folder)."),
                    QStringLiteral("DIR")});
}

std::optional<int> WholeNumber(const QString& text, int lowest, int highest) {
  bool ok = false;
  const int value = text.toInt(&ok, 10);
  if (!ok || value < lowest || value > highest) return std::nullopt;
  return value;
}

std::optional<LinkOptions> ReadLinkOptions(const QCommandLineParser& parser, QString* error) {
  LinkOptions options;
  options.port = parser.value(kPort);
  options.logPath = parser.value(kLog);
  options.dataDir = parser.value(kDataDir);
  if (parser.isSet(kTimeout)) {
    const std::optional<int> seconds = WholeNumber(parser.value(kTimeout), 1, kLongestTimeoutSeconds);
    if (!seconds) {
      *error = QStringLiteral("--timeout takes whole seconds from 1 to %1").arg(kLongestTimeoutSeconds);
      return std::nullopt;
    }
    options.timeoutSeconds = *seconds;
  }
  if (parser.isSet(kRetry)) {
    const std::optional<int> retry = WholeNumber(parser.value(kRetry), 1, kMostRetries);
    if (!retry) {
      *error = QStringLiteral("--retry takes a whole number from 1 to %1").arg(kMostRetries);
      return std::nullopt;
    }
    options.retry = *retry;
  }
  return options;
}

}  // namespace kv::cli
