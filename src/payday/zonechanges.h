#pragma once

#include <QDateTime>
#include <QList>
#include <QTimeZone>

namespace horalink {

// Stamps are wall-clock times without a zone, and the totals subtract them as such. Across a
// change of the time zone's offset (daylight saving time, or a move of the computer's zone)
// the minutes counted and the minutes that passed differ; this finds out by how much.
class ZoneChanges
{
public:
    // The changes between the two moments are looked up once; a stamp outside them is
    // looked up on its own.
    ZoneChanges(const QTimeZone &zone, const QDateTime &spanFrom, const QDateTime &spanTo);

    // How many seconds the zone's offset from UTC grew from the first wall-clock time to the
    // second: 3600 across the change to summer time, -3600 back, 0 for most pairs.
    int offsetChange(const QDateTime &first, const QDateTime &second) const;

private:
    int offsetAt(const QDateTime &wallClock) const;

    QTimeZone m_zone;
    // Whether the zone's offset ever changes.
    bool m_varies;
    qint64 m_spanFrom;
    qint64 m_spanTo;
    // The moments of the changes in the span, as milliseconds since the epoch, in order.
    QList<qint64> m_changes;
};

} // namespace horalink
