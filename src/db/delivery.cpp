#include "delivery.h"

#include "db/connection.h"
#include "db/datetimetext.h"
#include "db/history.h"
#include "db/postgres.h"
#include "db/timelog.h"
#include "db/timelogrows.h"

#include <optional>

namespace horalink {

namespace {

// The id as the history's delivered entries hold it, as the server reads it from their JSON.
const QString DeliveredId = QStringLiteral("((\"after\")::jsonb ->> 'event')");
// Written out rather than bound, so that the server reads it against its index's own rule.
const QString DeliveredKind = QStringLiteral("kind = 'delivered'");

bool wasDelivered(Connection &connection, const QString &id)
{
    if (!connection.tableExists(HistoryTable))
        return false;
    Statement found(connection,
                    QStringLiteral("SELECT 1 FROM ") + connection.quotedTable(HistoryTable) +
                        QStringLiteral(" WHERE ") + DeliveredKind + QStringLiteral(" AND ") +
                        DeliveredId + QStringLiteral(" = ?1"));
    found.bind(1, id);
    return found.step();
}

bool holdsEvent(Connection &connection, const ClockEvent &event)
{
    Statement found(connection, QStringLiteral("SELECT 1 FROM ") +
                                    connection.quotedTable(event.employee) +
                                    QStringLiteral(" WHERE \"Ename\" = ?1 AND \"datetime\" = ?2 "
                                                   "AND \"inoutfx\" = ?3 LIMIT 1"));
    found.bind(1, event.employee).bind(2, storedStamp(event.stamp)).bind(3, event.status);
    return found.step();
}

} // namespace

Delivery deliverEvent(Connection &connection, const ClockEvent &event, const QString &clock)
{
    Transaction transaction(connection, event.employee, Writes::Batched);
    if (wasDelivered(connection, event.id) || (event.mayBeStored && holdsEvent(connection, event)))
        return Delivery::AlreadyStored;
    const std::optional<LastEvent> before = lastEvent(connection, event.employee);
    const bool in = event.status == ClockedIn;
    appendEvent(connection, {event.employee, event.stamp, event.status,
                             in ? QVariant(event.task.isEmpty() ? QStringLiteral(" ") : event.task)
                                : QVariant()});
    const qint64 row = lastRowId(connection, event.employee);
    const std::optional<RowImage> stored = rowImage(connection, event.employee, row);
    QJsonObject after = stored ? stored->fields : QJsonObject();
    after.insert(DeliveredEventField, event.id);
    after.insert(DeliveredClockField, clock);
    after.insert(FollowsStatusField,
                 before ? QJsonValue::fromVariant(before->status) : QJsonValue());
    after.insert(FollowsStampField, before ? QJsonValue::fromVariant(before->stamp) : QJsonValue());
    recordChange(connection, ChangeKind::Delivered, event.employee, row, {}, after);
    transaction.commit();
    return Delivery::Stored;
}

void requireDeliveredOnce(Connection &connection)
{
    auto *server = dynamic_cast<PgConnection *>(&connection);
    if (!server)
        return;
    server->runOne(QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS \"each event delivered "
                                  "once\" ON ") +
                   server->quotedTable(HistoryTable) + QStringLiteral(" (") + DeliveredId +
                   QStringLiteral(") WHERE ") + DeliveredKind);
}

} // namespace horalink
