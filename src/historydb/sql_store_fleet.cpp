// The fleet queries of the SQL store: the latest read of each serial number
// found through the (serial, event_time, id) index, and the calibration
// events without the snapshot column.
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

std::vector<Event> SqlStore::CalibrationEvents(std::string* error) {
  return FleetQuery(QStringLiteral(
                        "SELECT id, serial, model, event_time, user_name, operation, result, detail, file FROM events"
                        " WHERE operation IN ('zero', 'span', 'calibration-history') AND result = 'ok'"
                        " ORDER BY event_time, id"),
                    false, error);
}

}  // namespace kv::history
