#include "figures.h"

#include "db/datetimetext.h"

#include <cmath>
#include <initializer_list>

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

namespace {

// Wages are short texts; beyond this a number is no amount of money but a way to exhaust
// memory.
constexpr int LargestExponent = 400;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads a text from the front, character by character.
class Scan
{
public:
    explicit Scan(const QString &text) : m_text(text) {}

    bool atEnd() const { return m_at == m_text.size(); }
    bool take(std::initializer_list<char> any)
    {
        if (atEnd())
            return false;
        for (const char c : any) {
            if (m_text[m_at] == QLatin1Char(c)) {
                ++m_at;
                return true;
            }
        }
        return false;
    }
    // Whether a minus sign was taken; a plus sign is taken too.
    bool sign()
    {
        if (take({'-'}))
            return true;
        take({'+'});
        return false;
    }
    QByteArray digits()
    {
        QByteArray out;
        while (!atEnd() && isDigit(m_text[m_at]))
            out += char(m_text[m_at++].unicode());
        return out;
    }

private:
    const QString &m_text;
    qsizetype m_at = 0;
};

} // namespace

std::optional<WrittenNumber> readWrittenNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    Scan scan(trimmed);
    WrittenNumber out;
    out.negative = scan.sign();
    out.digits = scan.digits();
    if (scan.take({'.', ','})) {
        const QByteArray fraction = scan.digits();
        out.digits += fraction;
        out.scale = int(fraction.size());
    }
    if (out.digits.isEmpty())
        return std::nullopt;
    if (scan.take({'e', 'E'})) {
        const bool negativeExponent = scan.sign();
        const QByteArray exponentDigits = scan.digits();
        const int exponent = exponentDigits.size() <= 3 ? exponentDigits.toInt() : -1;
        if (exponentDigits.isEmpty() || exponent < 0 || exponent > LargestExponent)
            return std::nullopt;
        out.scale += negativeExponent ? exponent : -exponent;
    }
    if (!scan.atEnd())
        return std::nullopt;
    if (out.scale < 0) {
        out.digits += QByteArray(-out.scale, '0');
        out.scale = 0;
    }
    return out;
}

std::optional<double> readNumber(const QString &text)
{
    const auto written = readWrittenNumber(text);
    if (!written)
        return std::nullopt;
    const QByteArray c = (written->negative ? "-" : "") + written->digits + 'e' +
                         QByteArray::number(-written->scale);
    bool ok = false;
    const double value = c.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
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
