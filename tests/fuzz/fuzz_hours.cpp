// The four-character hours field and the card's "###.0" pattern for any total of minutes.
#include "reports/figures.h"

#include <cstdlib>
#include <cstring>

using namespace horalink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < sizeof(float))
        return 0;
    float minutes = 0;
    std::memcpy(&minutes, data, sizeof minutes);
    const QString hours = hoursText(minutes);
    const QString subtotal = subtotalText(minutes);
    if (hours.size() != 4 || subtotal.size() != 4)
        std::abort();
    const QString printed = patternText(subtotal);
    if (printed.isEmpty())
        std::abort();
    if (subtotal == QLatin1String("<.1 ") && printed != subtotal)
        std::abort();
    return 0;
}
