#include "zonechanges.h"

#include <algorithm>

namespace horalink {

namespace {

// No zone lies further than this from UTC, so a wall-clock time names a moment within this
// distance of the same digits read as UTC.
constexpr qint64 FarthestOffset = 14 * 3600 * 1000LL;

} // namespace

ZoneChanges::ZoneChanges(const QTimeZone &zone, const QDateTime &spanFrom, const QDateTime &spanTo)
    : m_zone(zone), m_varies(zone.hasTransitions()), m_spanFrom(spanFrom.toMSecsSinceEpoch()),
      m_spanTo(spanTo.toMSecsSinceEpoch())
{
    if (!m_varies)
        return;
    for (const QTimeZone::OffsetData &change : m_zone.transitions(spanFrom, spanTo))
        m_changes << change.atUtc.toMSecsSinceEpoch();
}

int ZoneChanges::offsetAt(const QDateTime &wallClock) const
{
    return QDateTime(wallClock.date(), wallClock.time(), m_zone).offsetFromUtc();
}

int ZoneChanges::offsetChange(const QDateTime &first, const QDateTime &second) const
{
    if (!m_varies)
        return 0;
    // The stamps' digits read as UTC.
    const qint64 a = first.toMSecsSinceEpoch();
    const qint64 b = second.toMSecsSinceEpoch();
    const qint64 low = std::min(a, b) - FarthestOffset;
    const qint64 high = std::max(a, b) + FarthestOffset;
    if (low >= m_spanFrom && high <= m_spanTo) {
        const auto change = std::lower_bound(m_changes.cbegin(), m_changes.cend(), low);
        if (change == m_changes.cend() || *change > high)
            return 0;
    }
    return offsetAt(second) - offsetAt(first);
}

} // namespace horalink
