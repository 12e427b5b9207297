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
                         const Progress &progress)
{
    const ZoneChanges zones(QTimeZone::systemTimeZone(), period.from.addDays(-ZoneSpanDays),
                            std::max(period.to, now).addDays(ZoneSpanDays));
    CheckOutcome out;
    const std::vector<HistoryEntry> changes = periodChanges(connection, period);
    const QList<ListedEmployee> employees = listedEmployees(connection);
    for (qsizetype done = 0; done < employees.size(); ++done) {
        const QString &name = employees[done].name;
        if (hasTimeLog(connection, name))
            out.findings << findingsOf(name, readTimeLogRows(connection, name), period, now, zones);
        else
            out.findings << Finding{name,
                                    FindingKind::NoTimeLog,
                                    0,
                                    {},
                                    QStringLiteral("listed as an employee, but the file holds no "
                                                   "time log of this name")};
        out.findings << changeFindings(name, changesOfLog(connection, changes, name), period);
        if (progress && !progress(int(done + 1), int(employees.size()), name)) {
            out.cancelled = true;
            break;
        }
    }
    return out;
}

} // namespace horalink
