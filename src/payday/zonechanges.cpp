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
    if (m_varies)
        m_changes = lookUp(m_spanFrom, m_spanTo);
}

QList<ZoneChanges::Change> ZoneChanges::lookUp(qint64 low, qint64 high) const
{
    QList<Change> out;
    const QTimeZone::OffsetDataList changes =
        m_zone.transitions(QDateTime::fromMSecsSinceEpoch(low, Qt::UTC),
                           QDateTime::fromMSecsSinceEpoch(high, Qt::UTC));
    for (const QTimeZone::OffsetData &change : changes) {
        const qint64 at = change.atUtc.toMSecsSinceEpoch();
        const int before = m_zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(at - 1, Qt::UTC));
        out << Change{at, before, change.offsetFromUtc};
    }
    return out;
}

QList<ZoneChanges::Change> ZoneChanges::changesBetween(qint64 low, qint64 high) const
{
    if (low < m_spanFrom || high > m_spanTo)
        return lookUp(low, high);
    const auto first =
        std::lower_bound(m_changes.cbegin(), m_changes.cend(), low,
                         [](const Change &change, qint64 at) { return change.atUtc < at; });
    QList<Change> out;
    for (auto change = first; change != m_changes.cend() && change->atUtc <= high; ++change)
        out << *change;
    return out;
}

QList<int> ZoneChanges::offsetsAt(const QDateTime &wallClock) const
{
    // The stamp's digits read as UTC.
    const qint64 digits = wallClock.toMSecsSinceEpoch();
    for (const Change &change : changesBetween(digits - FarthestOffset, digits + FarthestOffset)) {
        // The wall clock reads these times both before and after the change, or neither.
        const qint64 low = change.atUtc + std::min(change.before, change.after) * 1000LL;
        const qint64 high = change.atUtc + std::max(change.before, change.after) * 1000LL;
        if (digits >= low && digits < high)
            return {change.before, change.after};
    }
    return {QDateTime(wallClock.date(), wallClock.time(), m_zone).offsetFromUtc()};
}

QList<int> ZoneChanges::offsetChanges(const QDateTime &first, const QDateTime &second) const
{
    if (!m_varies)
        return {0};
    const qint64 a = first.toMSecsSinceEpoch();
    const qint64 b = second.toMSecsSinceEpoch();
    if (changesBetween(std::min(a, b) - FarthestOffset, std::max(a, b) + FarthestOffset).isEmpty())
        return {0};
    QList<int> out;
    for (const int from : offsetsAt(first)) {
        for (const int to : offsetsAt(second))
            out << to - from;
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

WallClockReading ZoneChanges::reading(const QDateTime &wallClock) const
{
    if (!m_varies)
        return WallClockReading::Once;
    const QList<int> offsets = offsetsAt(wallClock);
    if (offsets.size() == 1)
        return WallClockReading::Once;
    return offsets[0] > offsets[1] ? WallClockReading::Twice : WallClockReading::Never;
}

} // namespace horalink
