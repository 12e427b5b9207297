#pragma once

#include <QDateTime>
#include <QList>
#include <QTimeZone>

namespace horalink {

// How often the clock showed a wall-clock time.
enum class WallClockReading
{
    Once,
    // In the hour that repeats when the clocks go back: the stamp names one of two moments.
    Twice,
    // In the hour skipped when the clocks go forward: no clock showed it, so the stamp was
    // typed, or taken with another offset.
    Never,
};

// Stamps are wall-clock times without a zone, and the totals subtract them as such. Across a
// change of the time zone's offset (daylight saving time, or a move of the computer's zone)
// the minutes counted and the minutes that passed differ; this finds out by how much, and
// where a stamp cannot tell.
class ZoneChanges
{
public:
    // The changes between the two moments are looked up once; a stamp outside them is
    // looked up on its own.
    ZoneChanges(const QTimeZone &zone, const QDateTime &spanFrom, const QDateTime &spanTo);

    // How many seconds the zone's offset from UTC may have grown from the first wall-clock
    // time to the second, lowest first, each once: [3600] across the change to summer time,
    // [-3600] back, [0] for most pairs, and more than one when a stamp lies in an hour the
    // clock showed twice or never, one for each way to read it.
    QList<int> offsetChanges(const QDateTime &first, const QDateTime &second) const;

    WallClockReading reading(const QDateTime &wallClock) const;

private:
    struct Change
    {
        // The moment, as milliseconds since the epoch.
        qint64 atUtc;
        // The offsets from UTC in seconds before and after it.
        int before;
        int after;
    };

    QList<Change> changesBetween(qint64 low, qint64 high) const;
    QList<Change> lookUp(qint64 low, qint64 high) const;
    // The offsets the zone may have had at a wall-clock time: the one it had, or the ones
    // before and after a change in whose hour the time lies.
    QList<int> offsetsAt(const QDateTime &wallClock) const;

    QTimeZone m_zone;
    // Whether the zone's offset ever changes.
    bool m_varies;
    qint64 m_spanFrom;
    qint64 m_spanTo;
    // The changes in the span, in order.
    QList<Change> m_changes;
};

} // namespace horalink
