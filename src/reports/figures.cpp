#include "figures.h"

#include "db/datetimetext.h"
#include "reports/decimal.h"

#include <cmath>

namespace horalink {

qint64 minuteDifference(const QDateTime &from, const QDateTime &to)
{
    return minuteNumber(to) - minuteNumber(from);
}

float addMinutes(float totalMinutes, qint64 minutes)
{
    return float(double(totalMinutes) + double(minutes));
}

float hoursOf(float totalMinutes)
{
    return totalMinutes / 60.0f;
}

QString fourCharacters(const QString &text)
{
    return text.left(4).leftJustified(4, QLatin1Char(' '));
}

static QString hoursDecimal(float hours)
{
    return QString::number(double(hours), 'g', 7);
}

QString hoursText(float totalMinutes)
{
    const float hours = hoursOf(totalMinutes);
    return fourCharacters(hours < 0.11f ? QStringLiteral("0") : hoursDecimal(hours));
}

QString subtotalText(float minutes)
{
    const float hours = hoursOf(minutes);
    return fourCharacters(hours < 0.11f ? QStringLiteral("<.1") : hoursDecimal(hours));
}

QString cardHoursText(float hours)
{
    return fourCharacters(hours < 0.11f ? QStringLiteral("<.1") : hoursDecimal(hours));
}

float addPrintedHours(float total, const QString &printedSubtotal)
{
    const auto hours = readNumber(printedSubtotal);
    return hours ? float(double(total) + *hours) : total;
}

std::optional<double> readNumber(const QString &text)
{
    const auto number = Decimal::read(text);
    return number ? number->toDouble() : std::nullopt;
}

int hundredths(const QString &hoursText)
{
    return int(std::nearbyint(readNumber(hoursText).value_or(0.0) * 100.0));
}

std::optional<double> estimatedWages(const QString &wageText, const QString &hoursText)
{
    const auto wage = readNumber(wageText);
    if (!wage)
        return std::nullopt;
    return *wage * 100.0 * hundredths(hoursText) / 10000.0;
}

QString wagesText(double wages)
{
    if (wages == 0.0)
        return QStringLiteral("0");
    return QString::number(wages, 'g', 15);
}

QString patternText(const QString &text)
{
    const auto value = readNumber(text);
    if (!value)
        return text;
    // Half up, away from the binary representation's noise: 8.45 prints 8.5.
    const double tenths = std::floor(std::abs(*value) * 10.0 + 0.5 + 1e-9) / 10.0;
    QString shown = QString::number(tenths, 'f', 1);
    if (shown.startsWith(QLatin1String("0.")))
        shown.remove(0, 1);
    return *value < 0 && tenths != 0.0 ? QLatin1Char('-') + shown : shown;
}

} // namespace horalink
