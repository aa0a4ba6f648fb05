// kvmaint fleet serve: the fleet table, each instrument's events and alarm
// levels, read-only over HTTP (Qt HTTP Server), on loopback unless
// --listen names another address.
#include <QCoreApplication>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QUrlQuery>

#include "cli/cli_io.h"
#include "cli/cmd_fleet.h"
#include "cli/cmd_fleet_sources.h"
#include "cli/command.h"
#include "cli/history_recording.h"
#include "cli/json_text.h"
#include "cli/kvd_files.h"
#include "common/clock.h"
#include "fleet/fleet_page.h"
#include "fleet/policy_audit.h"

namespace kv::cli {
namespace {

using Status = QHttpServerResponder::StatusCode;

constexpr int kDueWindowDays = 30;

struct Served {
  history::Store& store;
  std::optional<clsInstrument> policy;
  fleet::CalibrationDefaults defaults;
};

std::vector<fleet::FleetPageRow> FleetRows(Served& served) {
  std::vector<fleet::FleetPageRow> rows;
  const std::optional<FleetView> view = GatherFleet(served.store);
  if (!view) return rows;
  for (const fleet::FleetDue& judged :
       fleet::JudgeFleet(view->instruments, served.defaults, SystemClock().Now(), kDueWindowDays)) {
    const fleet::FleetInstrument& i = *judged.instrument;
    fleet::FleetPageRow row{i.serial, i.model, i.lastSeen, i.lastRead, "never read", "never read"};
    if (judged.due.deciding) row.due = fleet::StateText(*judged.due.deciding);
    const auto read = view->latestReads.find(i.serial);
    if (!served.policy) {
      row.compliance = "no policy";
    } else if (read != view->latestReads.end()) {
      const std::size_t differ = fleet::DifferencesFromPolicy(*served.policy, read->second).size();
      row.compliance = differ == 0   ? "compliant"
                       : differ == 1 ? "1 setting differs"
                                     : std::to_string(differ) + " settings differ";
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string FleetJsonText(const std::vector<fleet::FleetPageRow>& rows) {
  std::string out = "{\"instruments\": [";
  for (std::size_t n = 0; n < rows.size(); ++n) {
    const fleet::FleetPageRow& r = rows[n];
    out += std::string(n == 0 ? "\n" : ",\n") + "  {\"serial\": " + JsonString(r.serial) +
           ", \"model\": " + JsonString(r.model) + ", \"last_seen\": " + JsonString(r.lastSeen) +
           ", \"last_read\": " + JsonString(r.lastRead) + ", \"calibration\": " + JsonString(r.due) +
           ", \"compliance\": " + JsonString(r.compliance) + "}";
  }
  return out + "\n]}\n";
}

std::string InstrumentJsonText(const std::string& serial, const std::vector<history::Event>& events,
                               const std::vector<fleet::LevelPoint>& levels) {
  std::string out = "{\"serial\": " + JsonString(serial) + ", \"events\": [";
  for (std::size_t n = 0; n < events.size(); ++n) {
    const history::Event& e = events[n];
    out += std::string(n == 0 ? "\n" : ",\n") + "  {\"id\": " + std::to_string(e.id) +
           ", \"time\": " + JsonString(e.time) + ", \"operation\": " + JsonString(e.operation) +
           ", \"result\": " + JsonString(e.result) + ", \"user\": " + JsonString(e.user) +
           ", \"detail\": " + JsonString(e.detail) + "}";
  }
  out += "\n], \"alarm_levels\": [";
  for (std::size_t n = 0; n < levels.size(); ++n) {
    const fleet::LevelPoint& p = levels[n];
    out += std::string(n == 0 ? "\n" : ",\n") + "  {\"time\": " + JsonString(p.time) +
           ", \"channel\": " + std::to_string(p.channel + 1) + ", \"gas\": " + JsonString(p.gas) +
           ", \"warning_share\": " + JsonValue(static_cast<float>(p.warningShare)) +
           ", \"alarm_share\": " + JsonValue(static_cast<float>(p.alarmShare)) + "}";
  }
  return out + "\n]}\n";
}

// Pages carry no script: with this policy a browser runs none, whatever a
// serial number holds. HEAD gets the headers alone.
void Reply(QHttpServerResponder& responder, const QHttpServerRequest& request, const std::string& body,
           const QByteArray& type, Status status = Status::Ok) {
  const QByteArray policy = "default-src 'none'; style-src 'unsafe-inline'";
  if (request.method() == QHttpServerRequest::Method::Head) {
    responder.write({{"Content-Type", type}, {"X-Content-Type-Options", "nosniff"},
                     {"Content-Security-Policy", policy}},
                    status);
    return;
  }
  responder.write(QByteArray(body.data(), static_cast<qsizetype>(body.size())),
                  {{"Content-Type", type}, {"X-Content-Type-Options", "nosniff"}, {"Content-Security-Policy", policy}},
                  status);
}

void Answer(Served& served, const QHttpServerRequest& request, QHttpServerResponder& responder) {
  constexpr const char* kHtml = "text/html; charset=us-ascii";
  constexpr const char* kJsonType = "application/json";
  const auto method = request.method();
  if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head) {
    responder.write(QByteArray("GET and HEAD only\n"), {{"Content-Type", "text/plain"}, {"Allow", "GET, HEAD"}},
                    Status::MethodNotAllowed);
    return;
  }
  const QString path = request.url().path();
  if (path == QStringLiteral("/")) return Reply(responder, request, fleet::FleetPageHtml(FleetRows(served)), kHtml);
  if (path == QStringLiteral("/fleet.json")) {
    return Reply(responder, request, FleetJsonText(FleetRows(served)), kJsonType);
  }
  if (path == QStringLiteral("/instrument") || path == QStringLiteral("/instrument.json")) {
    const std::string serial =
        Bytes(QUrlQuery(request.url()).queryItemValue(QStringLiteral("serial"), QUrl::FullyDecoded));
    std::string error;
    const std::vector<history::Event> events = served.store.Events(serial, &error);
    if (!error.empty()) return Reply(responder, request, "history unavailable\n", "text/plain", Status::ServiceUnavailable);
    if (events.empty() || serial.empty()) return Reply(responder, request, "no such instrument\n", "text/plain", Status::NotFound);
    const std::vector<fleet::LevelPoint> levels = fleet::AlarmLevelChanges(events);
    if (path.endsWith(QStringLiteral(".json"))) {
      return Reply(responder, request, InstrumentJsonText(serial, events, levels), kJsonType);
    }
    return Reply(responder, request, fleet::InstrumentPageHtml(serial, events, levels), kHtml);
  }
  Reply(responder, request, "not found\n", "text/plain", Status::NotFound);
}

// "ADDRESS:PORT"; nullopt when either part is no address or port.
std::optional<std::pair<QHostAddress, quint16>> ListenAddress(const QString& text) {
  const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
  if (colon <= 0) return std::nullopt;
  QString host = text.left(colon);
  if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) host = host.mid(1, host.size() - 2);
  const QHostAddress address(host);
  bool ok = false;
  const uint port = text.mid(colon + 1).toUInt(&ok);
  if (address.isNull() || !ok || port > 65535) return std::nullopt;
  return std::make_pair(address, static_cast<quint16>(port));
}

}  // namespace

int RunFleetServe(const QCommandLineParser& parser) {
  const std::optional<std::pair<QHostAddress, quint16>> listen = ListenAddress(parser.value(kFleetListen));
  if (!listen) {
    PrintError(QStringLiteral("--listen takes ADDRESS:PORT, such as 127.0.0.1:8080"));
    return kExitUsage;
  }
  std::optional<clsInstrument> policy;
  if (parser.isSet(kFleetPolicy)) {
    policy.emplace();
    if (!LoadMaintenanceFile(*policy, parser.value(kFleetPolicy))) return kExitUsage;
  }
  const std::unique_ptr<history::Store> store = OpenHistoryStore(parser);
  if (!store) return kExitFailure;
  Served served{*store, std::move(policy), CalibrationDefaultsOf(parser)};
  QHttpServer server;
  server.setMissingHandler([&served](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
    Answer(served, request, responder);
  });
  const quint16 port = server.listen(listen->first, listen->second);
  if (port == 0) {
    PrintError("cannot listen on " + Bytes(parser.value(kFleetListen)));
    return kExitFailure;
  }
  const QString host = listen->first.protocol() == QAbstractSocket::IPv6Protocol
                           ? QLatin1Char('[') + listen->first.toString() + QLatin1Char(']')
                           : listen->first.toString();
  PrintLine(Bytes(QStringLiteral("serving http://%1:%2/").arg(host).arg(port)));
  return QCoreApplication::exec() == 0 ? kExitOk : kExitFailure;
}

}  // namespace kv::cli
