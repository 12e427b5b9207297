#include "pairs.h"

#include "db/datetimetext.h"
#include "reports/figures.h"

namespace horalink {

std::optional<PairShare> shareOf(const LogPair &pair, const QList<TimeLogRow> &rows,
                                 const Period &period)
{
    const QDateTime &clockIn = rows[pair.clockIn].stamp;
    const bool clockedInHere = period.contains(clockIn);
    if (!pair.minutes || *pair.minutes < 0) {
        if (!clockedInHere)
            return std::nullopt;
        return PairShare{pair.minutes.value_or(0), clockIn, pair.end, false};
    }
    // Minute boundaries are counted, so cutting at an edge neither gains nor loses one.
    const bool startsBefore = minuteNumber(clockIn) < minuteNumber(period.from);
    const bool endsAfter = minuteNumber(pair.end) > minuteNumber(period.to);
    const QDateTime from = startsBefore ? period.from : clockIn;
    const QDateTime to = endsAfter ? period.to : pair.end;
    const qint64 minutes = minuteDifference(from, to);
    if (!clockedInHere && minutes <= 0)
        return std::nullopt;
    return PairShare{minutes, from, to, minutes != *pair.minutes};
}

QList<qsizetype> rowsOfPeriod(const QList<LogPair> &pairs, const QList<TimeLogRow> &rows,
                              const Period &period)
{
    QList<qsizetype> out;
    for (const LogPair &pair : pairs) {
        if (shareOf(pair, rows, period)) {
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
