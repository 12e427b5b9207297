#include "clock.h"

#include "clock/seam.h"
#include "db/datetimetext.h"

namespace horalink {

namespace {

class SystemClock : public Clock
{
public:
    QDateTime now() override
    {
        const QDateTime local = QDateTime::currentDateTime();
        return naiveStamp(local.date(), local.time());
    }
};

std::unique_ptr<Clock> systemClock()
{
    return std::make_unique<SystemClock>();
}

using ClockSeam = Seam<Clock, &systemClock>;

} // namespace

Clock &clock()
{
    return ClockSeam::current();
}

std::unique_ptr<Clock> setClock(std::unique_ptr<Clock> replacement)
{
    return ClockSeam::replace(std::move(replacement));
}

} // namespace horalink
