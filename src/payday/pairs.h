#pragma once

#include "db/timelogrows.h"
#include "payday/period.h"
#include "reports/pairing.h"

#include <optional>
#include <QDateTime>
#include <QList>

namespace horalink {

// What a period pays of a pair: the minute boundaries the pair passes from the period's
// start (or the clock-in, when later) up to its end (or the pair's end, when earlier). Since
// periods that follow each other share their edges, the periods a pair runs through pay each
// of its minutes exactly once, and an overnight shift is split at midnight when a period ends
// there. A pair that counts backwards is paid whole by the period its clock-in falls in.
struct PairShare
{
    qint64 minutes = 0;
    // The wall-clock times the minutes paid run between.
    QDateTime from;
    QDateTime to;
    // Whether the pair's other minutes fall in other periods.
    bool split = false;
};

// Nothing when the period holds no part of the pair: its clock-in falls in another period,
// and none of its minutes in this one. A pair whose clock-in falls in the period is held even
// when it counts nothing.
std::optional<PairShare> shareOf(const LogPair &pair, const QList<TimeLogRow> &rows,
                                 const Period &period);

// The rows a period holds, in stored order: both rows of every pair it holds, and a row whose
// pair has no readable clock-in when its own stamp falls in it. So every event with a
// readable stamp lands in a period, and the events of a pair split at a period's edge in each
// of the periods that pay part of it.
QList<qsizetype> rowsOfPeriod(const QList<LogPair> &pairs, const QList<TimeLogRow> &rows,
                              const Period &period);

} // namespace horalink
