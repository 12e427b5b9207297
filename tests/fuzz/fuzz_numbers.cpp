// Wages and hours texts read back as numbers: any text is read or refused, and the wage figure
// never comes out as something that is not a number.
#include "reports/figures.h"

#include <cmath>
#include <cstdlib>

using namespace horalink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto value = readNumber(text); value && !std::isfinite(*value))
        std::abort();
    const QString hours = fourCharacters(text);
    if (hours.size() != 4)
        std::abort();
    hundredths(hours);
    if (const auto wages = estimatedWages(text, hours)) {
        const QString shown = wagesText(*wages);
        if (std::isfinite(*wages) && shown.isEmpty())
            std::abort();
    }
    patternText(text);
    return 0;
}
