// The fleet queries of the SQL store, each found through the (serial,
// event_time, id) index rather than a scan of the events (whose reads carry
// their snapshots): the latest read of each serial number, and its latest
// calibrations without the snapshot column.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "historydb/sql_store.h"
#include "qtedge/latin1.h"

namespace kv::history {
namespace {

std::string Text(const QVariant& value) { return value.isNull() ? "" : ToLatin1(value.toString()); }

// id, serial, model, event_time, user_name, operation, result, detail, file[, snapshot]
Event FleetEventFromRow(const QSqlQuery& row, bool withSnapshot) {
  Event event;
  event.id = row.value(0).toLongLong();
  event.serial = Text(row.value(1));
  event.model = Text(row.value(2));
  event.time = Text(row.value(3));
  event.user = Text(row.value(4));
  event.operation = Text(row.value(5));
  event.result = Text(row.value(6));
  event.detail = Text(row.value(7));
  event.file = Text(row.value(8));
  if (withSnapshot) {
    const QByteArray snapshot = row.value(9).toByteArray();
    event.snapshot.assign(snapshot.constData(), static_cast<std::size_t>(snapshot.size()));
  }
  return event;
}

}  // namespace

std::vector<Event> SqlStore::FleetQuery(const QString& statement, bool withSnapshot, std::string* error) {
  std::vector<Event> events;
  if (!Prepare(error)) return events;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.setForwardOnly(true);
  if (!query.exec(statement)) {
    *error = ToLatin1(query.lastError().text());
    Drop();
    return events;
  }
  while (query.next()) events.push_back(FleetEventFromRow(query, withSnapshot));
  return events;
}

std::vector<Event> SqlStore::LatestReads(std::string* error) {
  return FleetQuery(QStringLiteral(
                        "SELECT id, serial, model, event_time, user_name, operation, result, detail, file, snapshot"
                        " FROM events WHERE id IN ("
                        "  SELECT (SELECT r.id FROM events r WHERE r.serial = s.serial AND r.operation = 'read'"
                        "          AND r.result = 'ok' AND length(r.snapshot) > 0"
                        "          ORDER BY r.event_time DESC, r.id DESC LIMIT 1)"
                        "  FROM (SELECT DISTINCT serial FROM events) s)"
                        " ORDER BY serial"),
                    true, error);
}

// Per serial number through the index: its latest calibration history, then
// the calibrations from that moment on; no scan over the reads' snapshots.
std::vector<Event> SqlStore::CalibrationEvents(std::string* error) {
  return FleetQuery(QStringLiteral(
                        "SELECT id, serial, model, event_time, user_name, operation, result, detail, file FROM events"
                        " WHERE id IN ("
                        "  SELECT x.id FROM (SELECT DISTINCT serial FROM events) s JOIN events x ON x.serial = s.serial"
                        "  WHERE x.event_time >= COALESCE((SELECT c.event_time FROM events c WHERE c.serial = s.serial"
                        "          AND c.operation = 'calibration-history' AND c.result = 'ok'"
                        "          ORDER BY c.event_time DESC, c.id DESC LIMIT 1), '')"
                        "  AND x.operation IN ('zero', 'span', 'calibration-history') AND x.result = 'ok')"
                        " ORDER BY event_time, id"),
                    false, error);
}

// From the index alone.
std::vector<InstrumentSummary> SqlStore::LastSeen(std::string* error) {
  std::vector<InstrumentSummary> seen;
  if (!Prepare(error)) return seen;
  QSqlQuery query(QSqlDatabase::database(connection_, false));
  query.setForwardOnly(true);
  if (!query.exec(QStringLiteral("SELECT serial, MAX(event_time) FROM events GROUP BY serial ORDER BY serial"))) {
    *error = ToLatin1(query.lastError().text());
    Drop();
    return seen;
  }
  while (query.next()) seen.push_back({Text(query.value(0)), {}, Text(query.value(1)), {}, {}});
  return seen;
}

}  // namespace kv::history
