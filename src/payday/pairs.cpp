#include "pairs.h"

#include "db/timelog.h"
#include "reports/figures.h"

namespace horalink {

namespace {

std::optional<qint64> minutesBetween(const QDateTime &clockIn, const QDateTime &clockOut)
{
    if (!clockIn.isValid() || !clockOut.isValid())
        return std::nullopt;
    return minuteDifference(clockIn, clockOut);
}

} // namespace

QList<LogPair> logPairs(const QList<TimeLogRow> &rows, const QDateTime &now)
{
    QList<LogPair> pairs;
    pairs.reserve(rows.size() / 2 + 1);
    for (qsizetype row = 0; row < rows.size(); row += 2) {
        LogPair pair{row, std::nullopt, false, std::nullopt};
        if (row + 1 < rows.size()) {
            pair.clockOut = row + 1;
            pair.minutes = minutesBetween(rows[row].stamp, rows[row + 1].stamp);
        } else if (rows[row].status.toString() == ClockedIn) {
            pair.openShift = true;
            pair.minutes = minutesBetween(rows[row].stamp, now);
        }
        pairs << pair;
    }
    return pairs;
}

bool countedIn(const LogPair &pair, const QList<TimeLogRow> &rows, const Period &period)
{
    return period.contains(rows[pair.clockIn].stamp);
}

QList<qsizetype> rowsOfPeriod(const QList<LogPair> &pairs, const QList<TimeLogRow> &rows,
                              const Period &period)
{
    QList<qsizetype> out;
    for (const LogPair &pair : pairs) {
        if (countedIn(pair, rows, period)) {
            out << pair.clockIn;
            if (pair.clockOut)
                out << *pair.clockOut;
        } else if (!rows[pair.clockIn].stamp.isValid() && pair.clockOut &&
                   period.contains(rows[*pair.clockOut].stamp)) {
            out << *pair.clockOut;
        }
    }
    return out;
}

} // namespace horalink
