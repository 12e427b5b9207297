#include "pairing.h"

#include "db/datetimetext.h"
#include "db/timelog.h"

namespace horalink {

bool PairWalk::take(std::optional<qint64> minute)
{
    if (!m_clockIn) {
        m_clockIn = minute;
        return false;
    }
    m_closed = *m_clockIn && minute ? std::optional(*minute - **m_clockIn) : std::nullopt;
    m_clockIn.reset();
    return true;
}

std::optional<qint64> walkedMinute(const QDateTime &stamp)
{
    return stamp.isValid() ? std::optional(minuteNumber(stamp)) : std::nullopt;
}

QList<LogPair> logPairs(const QList<TimeLogRow> &rows, const QDateTime &now, UnpairedRow unpaired)
{
    QList<LogPair> pairs;
    pairs.reserve(rows.size() / 2 + 1);
    PairWalk walk;
    for (qsizetype row = 0; row < rows.size(); ++row) {
        if (walk.take(walkedMinute(rows[row].stamp)))
            pairs << LogPair{row - 1, row, false, rows[row].stamp, walk.closedMinutes()};
    }
    if (!walk.waiting())
        return pairs;
    LogPair last{rows.size() - 1, std::nullopt, false, {}, std::nullopt};
    if (unpaired == UnpairedRow::EndsNow || rows.last().status.toString() == ClockedIn) {
        last.openShift = walk.take(walkedMinute(now));
        last.end = now;
        last.minutes = walk.closedMinutes();
    }
    pairs << last;
    return pairs;
}

} // namespace horalink
