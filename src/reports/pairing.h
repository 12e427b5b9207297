#pragma once

#include "db/timelogrows.h"

#include <optional>
#include <QDateTime>
#include <QList>

namespace horalink {

// How every figure pairs a time log's rows, fed in stored order: two by two, the first of each
// the clock-in whatever the statuses say. A pair counts the minute boundaries from its
// clock-in to its end, and nothing when either stamp cannot be read. Stamps come as minute
// numbers, so that the totals of a long log are figured straight from the stored text.
class PairWalk
{
public:
    // Takes the next row's stamp (nothing when it cannot be read); whether it closed a pair.
    bool take(std::optional<qint64> minute);
    // A clock-in taken waits for its partner.
    bool waiting() const { return m_clockIn.has_value(); }
    // The minutes of the pair closed last.
    std::optional<qint64> closedMinutes() const { return m_closed; }

private:
    std::optional<std::optional<qint64>> m_clockIn;
    std::optional<qint64> m_closed;
};

// A stamp as the walk takes it: nothing when it cannot be read.
std::optional<qint64> walkedMinute(const QDateTime &stamp);

// One pair of a time log, as the walk makes them.
struct LogPair
{
    qsizetype clockIn;
    // Nothing for a last row without a partner.
    std::optional<qsizetype> clockOut;
    // A last row without a partner that ends now: the shift is counted up to now.
    bool openShift = false;
    // Where the pair ends: its clock-out's stamp, or now for an open shift; invalid when it
    // has no end.
    QDateTime end;
    // The minutes from the clock-in to the end; nothing when a stamp cannot be read or when
    // the pair has no end: such a pair counts nothing.
    std::optional<qint64> minutes;
};

// Which last row without a partner ends now. The totals and the pay-day reports count only a
// shift still open; the user's own card closes whatever row is left, as it always printed it.
enum class UnpairedRow
{
    EndsNowWhenClockedIn,
    EndsNow
};

QList<LogPair> logPairs(const QList<TimeLogRow> &rows, const QDateTime &now,
                        UnpairedRow unpaired = UnpairedRow::EndsNowWhenClockedIn);

} // namespace horalink
