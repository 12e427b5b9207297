#include "changes.h"

#include "db/datetimetext.h"
#include "payday/csv.h"
#include "payday/findings.h"

#include <QJsonDocument>

namespace horalink {

namespace {

const QString StampField = QStringLiteral("datetime");

bool stampedIn(const std::optional<QJsonObject> &fields, const Period &period)
{
    if (!fields || !fields->contains(StampField))
        return false;
    const QDateTime stamp = parseStoredStamp(fields->value(StampField).toString());
    return stamp.isValid() && period.contains(stamp);
}

QString jsonText(const std::optional<QJsonObject> &fields)
{
    return fields ? QString::fromUtf8(QJsonDocument(*fields).toJson(QJsonDocument::Compact))
                  : QString();
}

} // namespace

std::vector<HistoryEntry> periodChanges(Connection &connection, const Period &period)
{
    std::vector<HistoryEntry> concerned;
    for (HistoryEntry &entry : readHistory(connection)) {
        if ((entry.changed.isValid() && period.contains(entry.changed)) ||
            stampedIn(entry.before, period) || stampedIn(entry.after, period))
            concerned.push_back(std::move(entry));
    }
    return concerned;
}

QStringList changeFields(const HistoryEntry &change)
{
    return {change.changed.isValid() ? storedStamp(change.changed) : QString(),
            change.changedUtc.toString(Qt::ISODate),
            change.who,
            change.account,
            change.subject,
            change.row ? QString::number(*change.row) : QString(),
            change.kind,
            jsonText(change.before),
            jsonText(change.after)};
}

void writeChangesHeader(CsvWriter &changes)
{
    for (const char *title : {"Changed", "Changed (UTC)", "Who", "Account", "Table", "Row",
                              "Change", "Before", "After"})
        changes.field(QString::fromLatin1(title));
    changes.endLine();
}

void writeChange(CsvWriter &changes, const HistoryEntry &change)
{
    for (const QString &field : changeFields(change))
        changes.field(field);
    changes.endLine();
}

QString changeLine(const HistoryEntry &change)
{
    QStringList fields;
    for (const QString &field : changeFields(change))
        fields << oneLine(field);
    return fields.join(QLatin1Char('\t'));
}

} // namespace horalink
