#include "timelogrows.h"

#include "db/connection.h"
#include "db/datetimetext.h"
#include "db/timelog.h"

namespace horalink {

namespace {

// The statuses the program writes are held once and shared by every row that has them.
QVariant statusOf(const char *text, int length)
{
    static const QVariant clockedIn(ClockedIn);
    static const QVariant clockedOut(ClockedOut);
    static const QByteArray clockedInBytes = ClockedIn.toUtf8();
    static const QByteArray clockedOutBytes = ClockedOut.toUtf8();
    const QByteArrayView status(text, length);
    if (status == clockedInBytes)
        return clockedIn;
    if (status == clockedOutBytes)
        return clockedOut;
    return QString::fromUtf8(status);
}

// Tasks repeat from row to row (a single blank when none was typed): a task like the last
// one read shares its text.
class Tasks
{
public:
    QVariant of(const char *text, int length)
    {
        if (!text)
            return {};
        const QByteArrayView task(text, length);
        if (task != m_lastBytes) {
            m_lastBytes = task.toByteArray();
            m_last = QString::fromUtf8(task);
        }
        return m_last;
    }

private:
    QByteArray m_lastBytes;
    QVariant m_last;
};

} // namespace

void visitStoredRows(Connection &connection, const QString &table, qint64 after, qint64 upTo,
                     const std::function<void(const StoredRow &)> &visit)
{
    Statement rows(connection,
                   QStringLiteral("SELECT rowid, \"datetime\", \"activity\", \"inoutfx\" FROM ") +
                       connection.quotedTable(table) +
                       QStringLiteral(" WHERE rowid > ?1 AND rowid <= ?2 ORDER BY rowid"));
    rows.bind(1, after).bind(2, upTo);
    StoredRow row;
    while (rows.step()) {
        row.rowid = rows.integer(0);
        for (int field = 0; field < 3; ++field) {
            int length = 0;
            const char *text = rows.rawText(field + 1, &length);
            row.fields[field] = text ? QByteArrayView(text, length) : QByteArrayView();
        }
        visit(row);
    }
}

QList<TimeLogRow> readTimeLogRows(Connection &connection, const QString &table)
{
    Statement rows(connection,
                   QStringLiteral("SELECT \"datetime\", \"activity\", \"inoutfx\" FROM ") +
                       connection.quotedTable(table) + QStringLiteral(" ORDER BY rowid"));
    QList<TimeLogRow> out;
    Tasks tasks;
    int length = 0;
    while (rows.step()) {
        TimeLogRow row;
        if (const char *stamp = rows.rawText(0, &length))
            row.stamp = parseStoredStamp(stamp, length);
        const char *activity = rows.rawText(1, &length);
        row.activity = tasks.of(activity, length);
        const char *status = rows.rawText(2, &length);
        row.status = status ? statusOf(status, length) : QVariant();
        out << std::move(row);
    }
    return out;
}

qint64 lastRowId(Connection &connection, const QString &table)
{
    Statement last(connection, QStringLiteral("SELECT coalesce(max(rowid), 0) FROM ") +
                                   connection.quotedTable(table));
    return last.step() ? last.integer(0) : 0;
}

} // namespace horalink
