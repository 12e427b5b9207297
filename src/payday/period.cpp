#include "period.h"

#include "db/datetimetext.h"

namespace horalink {

bool Period::contains(const QDateTime &stamp) const
{
    if (!stamp.isValid())
        return false;
    const qint64 minute = minuteNumber(stamp);
    return minute >= minuteNumber(from) && minute < minuteNumber(to);
}

bool Period::holdsAMinute() const
{
    // A bound that could not be read, as in a damaged digests file, bounds nothing.
    return from.isValid() && to.isValid() && minuteNumber(from) < minuteNumber(to);
}

} // namespace horalink
