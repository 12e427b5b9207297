#include "clock.h"

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

std::unique_ptr<Clock> &current()
{
    static std::unique_ptr<Clock> clock = std::make_unique<SystemClock>();
    return clock;
}

} // namespace

Clock &clock()
{
    return *current();
}

std::unique_ptr<Clock> setClock(std::unique_ptr<Clock> replacement)
{
    return std::exchange(current(), std::move(replacement));
}

} // namespace horalink
