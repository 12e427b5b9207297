#pragma once

#include "db/timelogrows.h"
#include "payday/period.h"

#include <optional>
#include <QDateTime>
#include <QList>

namespace horalink {

// One pair of a time log as the totals take them: the rows two by two in stored order, the
// first of each the clock-in, whatever their statuses say.
struct LogPair
{
    qsizetype clockIn;
    // Nothing for a last row without a partner.
    std::optional<qsizetype> clockOut;
    // A last row "Clocked In" without a partner: the shift is counted up to now.
    bool openShift = false;
    // The minute difference from the clock-in to the clock-out (or to now for an open shift);
    // nothing when a stamp cannot be read or when a last row other than a clock-in has no
    // partner: such a pair counts nothing.
    std::optional<qint64> minutes;
};

QList<LogPair> logPairs(const QList<TimeLogRow> &rows, const QDateTime &now);

// A pair belongs to the period its clock-in falls in, with all its minutes, even when its
// clock-out lies after the period's end; the next period does not count it again.
bool countedIn(const LogPair &pair, const QList<TimeLogRow> &rows, const Period &period);

// The rows a period holds, in stored order: both rows of every pair counted in it, and a row
// whose pair has no readable clock-in when its own stamp falls in it. So every event with a
// readable stamp lands in exactly one period.
QList<qsizetype> rowsOfPeriod(const QList<LogPair> &pairs, const QList<TimeLogRow> &rows,
                              const Period &period);

} // namespace horalink
