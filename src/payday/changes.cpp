#include "changes.h"

#include "db/connection.h"
#include "db/datetimetext.h"
#include "payday/csv.h"
#include "payday/findings.h"

#include <QDir>
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

bool changesAnEvent(const HistoryEntry &change)
{
    const auto kind = changeKindFromText(change.kind);
    return kind == ChangeKind::StampCorrected || kind == ChangeKind::GridEdit ||
           kind == ChangeKind::DeletedLast || kind == ChangeKind::Cleared;
}

QString valueText(const QJsonValue &value)
{
    return value.isNull() || value.isUndefined()
               ? QStringLiteral("nothing")
               : QLatin1Char('"') + value.toVariant().toString() + QLatin1Char('"');
}

// The fields that differ, each as it was and as it is: what a reader compares with the paid
// figures.
QString differenceText(const QJsonObject &before, const std::optional<QJsonObject> &after)
{
    QStringList told;
    for (auto field = before.begin(); field != before.end(); ++field) {
        if (!after)
            told << field.key() + QLatin1Char(' ') + valueText(field.value());
        else if (after->value(field.key()) != field.value())
            told << field.key() + QLatin1Char(' ') + valueText(field.value()) +
                        QStringLiteral(" is now ") + valueText(after->value(field.key()));
    }
    const QString fields = told.join(QStringLiteral(", "));
    return after ? fields : QStringLiteral("removed; it held ") + fields;
}

// The user, and the system account where one is known.
QString whoText(const HistoryEntry &change)
{
    return change.account.isEmpty()
               ? change.who
               : change.who + QStringLiteral(" (") + change.account + QLatin1Char(')');
}

Finding changeFinding(const QString &employee, const HistoryEntry &change, const Period &period,
                      const StampText &stampText)
{
    const std::optional<QJsonObject> &event =
        stampedIn(change.after, period) ? change.after : change.before;
    const QString when = change.changed.isValid() ? stampText(change.changed)
                                                  : change.changedUtc.toString(Qt::ISODate);
    return Finding{employee, FindingKind::ChangedAfterStored, 0,
                   parseStoredStamp(event->value(StampField).toString()),
                   change.kind + QStringLiteral(" by ") + whoText(change) + QStringLiteral(" at ") +
                       when + QStringLiteral(": row id %1, ").arg(change.row.value_or(0)) +
                       differenceText(change.before.value_or(QJsonObject()), change.after)};
}

} // namespace

QList<Finding> changeFindings(const QString &employee, const std::vector<HistoryEntry> &changes,
                              const Period &period, const StampText &stampText)
{
    QList<Finding> found;
    for (const HistoryEntry &change : changes) {
        if (changesAnEvent(change) &&
            (stampedIn(change.before, period) || stampedIn(change.after, period)))
            found << changeFinding(employee, change, period, stampText);
    }
    return found;
}

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

QString changedEmployee(const HistoryEntry &change)
{
    const auto kind = changeKindFromText(change.kind);
    if (kind == ChangeKind::Exported || kind == ChangeKind::SwitchChanged ||
        kind == ChangeKind::CompanyNamed || change.subject == CompanyTable)
        return {};
    if (change.subject != EmployeeList)
        return change.subject;
    const QString name = QStringLiteral("ename");
    return (change.after && change.after->contains(name) ? *change.after
                                                         : change.before.value_or(QJsonObject()))
        .value(name)
        .toString();
}

const QStringList ChangeTitles = {QStringLiteral("Changed"),  QStringLiteral("Who"),
                                  QStringLiteral("Employee"), QStringLiteral("Change"),
                                  QStringLiteral("Before"),   QStringLiteral("After")};

QStringList shownChange(const HistoryEntry &change, const StampText &stampText)
{
    const auto shownFields = [&](const std::optional<QJsonObject> &fields) {
        QStringList pairs;
        if (!fields)
            return QString();
        for (auto field = fields->begin(); field != fields->end(); ++field) {
            QString value = field.value().toVariant().toString();
            if (field.key() == StampField) {
                if (const QDateTime stamp = parseStoredStamp(value); stamp.isValid())
                    value = stampText(stamp);
            }
            pairs << field.key() + QStringLiteral(": ") + value;
        }
        return pairs.join(QStringLiteral(", "));
    };
    const bool exported = changeKindFromText(change.kind) == ChangeKind::Exported;
    return {change.changed.isValid() ? stampText(change.changed)
                                     : change.changedUtc.toString(Qt::ISODate),
            whoText(change),
            changedEmployee(change),
            change.kind,
            exported ? QString() : shownFields(change.before),
            exported ? QStringLiteral("to ") + QDir::toNativeSeparators(change.subject)
                     : shownFields(change.after)};
}

} // namespace horalink
