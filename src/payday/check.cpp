#include "check.h"

#include "db/connection.h"
#include "db/employees.h"
#include "db/roster.h"
#include "payday/changes.h"
#include "payday/zonechanges.h"

#include <algorithm>

namespace horalink {

namespace {

// Pairs of the period may end well after it (a forgotten clock-out closed at now, a mistyped
// year); the changes of the zone are looked up once for this much around it.
constexpr int ZoneSpanDays = 400;

Finding noTimeLog(const QString &employee)
{
    return {employee,
            FindingKind::NoTimeLog,
            0,
            {},
            QStringLiteral("listed as an employee, but the file holds no time log of this name")};
}

QList<Finding> typedPasswords(Connection &connection)
{
    QList<Finding> found;
    if (!holdsPasswordHashes(connection))
        return found;
    for (const QString &employee : namesWithTypedPassword(connection))
        found << Finding{employee,
                         FindingKind::PasswordStoredAsTyped,
                         0,
                         {},
                         QStringLiteral("the employee list holds this password as typed, where "
                                        "Horalink keeps only hashes: it was changed outside "
                                        "Horalink, and signs nobody on")};
    return found;
}

std::vector<HistoryEntry> changesOfLog(const Connection &connection,
                                       const std::vector<HistoryEntry> &changes,
                                       const QString &employee)
{
    std::vector<HistoryEntry> ofLog;
    for (const HistoryEntry &change : changes) {
        if (connection.sameTable(change.subject, employee))
            ofLog.push_back(change);
    }
    return ofLog;
}

} // namespace

CheckOutcome checkPeriod(Connection &connection, const Period &period, const QDateTime &now,
                         const Progress &progress, const StampText &stampText)
{
    const ZoneChanges zones(QTimeZone::systemTimeZone(), period.from.addDays(-ZoneSpanDays),
                            std::max(period.to, now).addDays(ZoneSpanDays));
    CheckOutcome out;
    out.changes = periodChanges(connection, period);
    const std::vector<HistoryEntry> &changes = out.changes;
    const QList<ListedEmployee> employees = listedEmployees(connection);
    out.findings << typedPasswords(connection);
    for (qsizetype done = 0; done < employees.size(); ++done) {
        const ListedEmployee &employee = employees[done];
        if (hasTimeLog(connection, employee.name)) {
            QList<TimeLogRow> rows = readTimeLogRows(connection, employee.name);
            out.findings << findingsOf(employee.name, rows, period, now, zones, stampText);
            out.employees << employeePeriod(employee, std::move(rows), period, now);
        } else {
            out.findings << noTimeLog(employee.name);
            out.employees << withoutTimeLog(employee);
        }
        out.findings << changeFindings(
            employee.name, changesOfLog(connection, changes, employee.name), period, stampText);
        if (progress && !progress(int(done + 1), int(employees.size()), employee.name)) {
            out.cancelled = true;
            break;
        }
    }
    return out;
}

} // namespace horalink
