#include "totals.h"

#include "db/datetimetext.h"
#include "db/timelog.h"
#include "reports/figures.h"
#include "reports/pairing.h"

namespace horalink {

namespace {

// The walk over the stored stamps themselves: a long log's totals build no date for any row.
class PairedMinutes : public TimeLogScan
{
public:
    void row(std::optional<qint64> minute) override
    {
        ++m_rows;
        if (m_walk.take(minute) && m_walk.closedMinutes())
            m_total = addMinutes(m_total, *m_walk.closedMinutes());
    }

    float total() const { return m_total; }
    qint64 rows() const { return m_rows; }

private:
    PairWalk m_walk;
    float m_total = 0.0f;
    qint64 m_rows = 0;
};

} // namespace

LoggedMinutes loggedMinutes(Connection &connection, const QString &table, const QDateTime &now)
{
    PairedMinutes pairs;
    scanTimeLog(connection, table, pairs);
    const qint64 rows = pairs.rows();
    const bool open = rows > 0 && lastStatus(connection, table) == ClockedIn;
    if (open)
        pairs.row(minuteNumber(now));
    return {pairs.total(), rows, open};
}

Totals totalsOf(Connection &connection, const QString &table, const QString &wageText,
                const QDateTime &now)
{
    const LoggedMinutes logged = loggedMinutes(connection, table, now);
    Totals totals;
    totals.wages = QStringLiteral("0");
    if (logged.rows == 0) {
        totals.hours = QStringLiteral("0");
        return totals;
    }
    totals.empty = false;
    totals.openShift = logged.openShift;
    totals.hours = hoursText(logged.minutes);
    if (const auto wages = estimatedWages(wageText, totals.hours))
        totals.wages = wagesText(*wages);
    return totals;
}

} // namespace horalink
