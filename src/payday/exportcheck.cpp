#include "exportcheck.h"

#include "db/connection.h"
#include "db/datetimetext.h"
#include "db/employees.h"
#include "db/timelogrows.h"

#include <limits>
#include <map>
#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace horalink {

namespace {

QString eventsDigestOf(const QString &name, QList<TimeLogRow> rows, const ExportRecord &record)
{
    return eventsDigest(
        employeePeriod({name, {}}, std::move(rows), record.period, record.exported));
}

QVariant fieldOf(const QJsonObject &fields, const char *name)
{
    const QJsonValue value = fields.value(QLatin1String(name));
    return value.isNull() || value.isUndefined() ? QVariant()
                                                 : QVariant(value.toVariant().toString());
}

// A row as the history keeps its fields, read as the log's rows are.
TimeLogRow rowOf(const QJsonObject &fields)
{
    const QVariant stamp = fieldOf(fields, "datetime");
    return {stamp.isNull() ? QDateTime() : parseStoredStamp(stamp.toString()),
            fieldOf(fields, "activity"), fieldOf(fields, "inoutfx")};
}

bool clockedSince(const QJsonObject &fields, const QDateTime &exported)
{
    const QDateTime stamp = rowOf(fields).stamp;
    return stamp.isValid() && stamp >= exported;
}

// Undoes one change; false when the row does not hold what the change left: changed again
// without an entry. A removed row's number may have gone to a row clocked since.
bool undo(std::map<qint64, QJsonObject> &rows, const HistoryEntry &change,
          const QDateTime &exported)
{
    const auto held = rows.find(*change.row);
    if (change.after ? held == rows.end() || held->second != *change.after
                     : held != rows.end() && !clockedSince(held->second, exported))
        return false;
    if (change.before)
        rows[*change.row] = *change.before;
    else
        rows.erase(*change.row);
    return true;
}

// The log as it stood at the export, as far as the history tells it: each change since undone,
// last first, and the rows clocked since left out. Nothing when the history does not tell
// what became of a row.
std::optional<QList<TimeLogRow>> logAtExport(Connection &connection,
                                             const ExportedEmployee &exported,
                                             const ExportRecord &record,
                                             const std::vector<HistoryEntry> &changes)
{
    std::map<qint64, QJsonObject> rows;
    if (hasTimeLog(connection, exported.name)) {
        for (RowImage &image : allRowImages(connection, exported.name)) {
            if (image.rowid <= exported.lastRow || !clockedSince(image.fields, record.exported))
                rows.emplace(image.rowid, std::move(image.fields));
        }
    }
    for (auto change = changes.crbegin(); change != changes.crend(); ++change) {
        if (change->row && !undo(rows, *change, record.exported))
            return std::nullopt;
    }
    QList<TimeLogRow> log;
    for (const auto &[rowid, fields] : rows)
        log << rowOf(fields);
    return log;
}

// Whether the log is, byte for byte, what the export read, with only rows clocked after the
// period and the export added since, and no shift of the period left open then: the period's
// events are then what was exported without figuring them again.
bool storedAsExported(Connection &connection, const ExportedEmployee &exported,
                      const ExportRecord &record)
{
    if (exported.log.isEmpty() || exported.openShift ||
        storedLogDigest(connection, exported.name, exported.lastRow) != exported.log)
        return false;
    const QDateTime later = std::max(record.period.to, record.exported);
    bool laterOnly = true;
    visitStoredRows(connection, exported.name, exported.lastRow, std::numeric_limits<qint64>::max(),
                    [&](const StoredRow &row) {
                        const QDateTime stamp = parseStoredStamp(
                            QString::fromUtf8(row.fields[0].data(), row.fields[0].size()));
                        laterOnly = laterOnly && stamp.isValid() && stamp >= later;
                    });
    return laterOnly;
}

EmployeeSinceExport sinceExport(Connection &connection, const ExportedEmployee &exported,
                                const ExportRecord &record, const std::vector<HistoryEntry> &since)
{
    EmployeeSinceExport out{exported.name, SinceExport::Unchanged, {}};
    for (const HistoryEntry &change : since) {
        if (change.kind != changeKindText(ChangeKind::Exported) &&
            connection.sameTable(change.subject, exported.name))
            out.changes.push_back(change);
    }
    const bool logged = hasTimeLog(connection, exported.name);
    if (logged && storedAsExported(connection, exported, record))
        return out;
    const QList<TimeLogRow> now =
        logged ? readTimeLogRows(connection, exported.name) : QList<TimeLogRow>();
    if (eventsDigestOf(exported.name, now, record) == exported.events)
        return out;
    const auto atExport = logAtExport(connection, exported, record, out.changes);
    out.state = atExport && eventsDigestOf(exported.name, *atExport, record) == exported.events
                    ? SinceExport::ChangedInHoralink
                    : SinceExport::ChangedOutside;
    return out;
}

QByteArray canonical(const ExportRecord &record)
{
    return QJsonDocument(recordJson(record)).toJson(QJsonDocument::Compact);
}

// The history's entries after the export's own; without it, those written since its moment.
std::vector<HistoryEntry> changesSince(std::vector<HistoryEntry> history,
                                       ExportComparison &comparison)
{
    const QString exported = changeKindText(ChangeKind::Exported);
    const QByteArray wanted = canonical(comparison.record);
    auto first = history.begin();
    for (auto entry = history.begin(); entry != history.end(); ++entry) {
        if (entry->kind != exported || !entry->after)
            continue;
        const auto record = recordFromJson(*entry->after);
        if (record && canonical(*record) == wanted) {
            comparison.inHistory = true;
            first = entry + 1;
        }
    }
    if (!comparison.inHistory) {
        // The history keeps whole seconds.
        QDateTime utc = comparison.record.exported.toUTC();
        utc = utc.addMSecs(-utc.time().msec());
        first = std::find_if(history.begin(), history.end(),
                             [&utc](const HistoryEntry &entry) { return entry.changedUtc >= utc; });
    }
    return {std::make_move_iterator(first), std::make_move_iterator(history.end())};
}

std::optional<ExportRecord> readRecord(const QString &folder, QString &failure)
{
    QFile file(QDir(folder).filePath(DigestsFile));
    if (!file.open(QIODevice::ReadOnly)) {
        failure = QDir::toNativeSeparators(file.fileName()) + QStringLiteral(" cannot be read: ") +
                  file.errorString();
        return std::nullopt;
    }
    const auto record = recordFromJson(QJsonDocument::fromJson(file.readAll()).object());
    if (!record)
        failure = QDir::toNativeSeparators(file.fileName()) +
                  QStringLiteral(" holds no digests of an export.");
    return record;
}

} // namespace

QString sinceExportText(SinceExport state)
{
    switch (state) {
    case SinceExport::Unchanged:
        return QStringLiteral("unchanged since the export");
    case SinceExport::ChangedInHoralink:
        return QStringLiteral("changed in Horalink since the export");
    case SinceExport::ChangedOutside:
        return QStringLiteral("changed outside Horalink");
    }
    return {};
}

ExportComparison compareWithExport(Connection &connection, const QString &folder)
{
    ExportComparison comparison;
    const auto record = readRecord(folder, comparison.failure);
    if (!record)
        return comparison;
    comparison.record = *record;
    const std::vector<HistoryEntry> since = changesSince(readHistory(connection), comparison);
    for (const ExportedEmployee &exported : comparison.record.employees)
        comparison.employees.push_back(sinceExport(connection, exported, comparison.record, since));
    return comparison;
}

} // namespace horalink
