#pragma once

#include <memory>
#include <QDateTime>

namespace horalink {

// "Now" for every stamp and figure: the computer's local wall-clock time to the second,
// held without a zone. Tests set it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
};

Clock &clock();
std::unique_ptr<Clock> setClock(std::unique_ptr<Clock> replacement);

} // namespace horalink
