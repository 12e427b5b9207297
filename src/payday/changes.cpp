#include "changes.h"

#include "db/connection.h"
#include "db/datetimetext.h"
#include "db/delivery.h"
#include "db/timelog.h"
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

// Whether a delivered event disagrees with the event the log held before it, as the entry of
// its delivery tells: a clock-in after a clock-in, a clock-out after anything but a clock-in.
bool deliveredOutOfTurn(const HistoryEntry &change)
{
    if (changeKindFromText(change.kind) != ChangeKind::Delivered || !change.after)
        return false;
    const QString status = change.after->value(QStringLiteral("inoutfx")).toString();
    const QJsonValue follows = change.after->value(FollowsStatusField);
    if (status == ClockedIn)
        return follows.isString() && follows.toString() != ClockedOut;
    return follows.toString() != ClockedIn;
}

QString followedText(const QJsonObject &event, const StampText &stampText)
{
    const QJsonValue status = event.value(FollowsStatusField);
    if (!status.isString())
        return QStringLiteral("an empty log");
    const QDateTime stamp = parseStoredStamp(event.value(FollowsStampField).toString());
    return QLatin1Char('"') + status.toString() + QStringLiteral("\" of ") +
           (stamp.isValid() ? stampText(stamp) : QStringLiteral("no readable date"));
}

Finding outOfTurnFinding(const QString &employee, const HistoryEntry &change,
                         const StampText &stampText)
{
    const QJsonObject &event = *change.after;
    const QString when = change.changed.isValid() ? stampText(change.changed)
                                                  : change.changedUtc.toString(Qt::ISODate);
    return Finding{
        employee, FindingKind::DeliveredOutOfTurn, 0,
        parseStoredStamp(event.value(StampField).toString()),
        QLatin1Char('"') + event.value(QStringLiteral("inoutfx")).toString() +
            QStringLiteral("\" kept on clock ") + event.value(DeliveredClockField).toString() +
            QStringLiteral(" while the server was away, delivered at ") + when +
            QStringLiteral(" after ") + followedText(event, stampText) +
            QStringLiteral(": row id %1, stored all the same").arg(change.row.value_or(0))};
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
        else if (deliveredOutOfTurn(change) && stampedIn(change.after, period))
            found << outOfTurnFinding(employee, change, stampText);
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
