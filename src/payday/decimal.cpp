#include "decimal.h"

#include "reports/figures.h"

#include <algorithm>

namespace horalink {

namespace {

// Magnitudes are written as decimal digits, most significant first.

QByteArray withoutLeadingZeros(QByteArray digits)
{
    qsizetype zeros = 0;
    while (zeros < digits.size() && digits[zeros] == '0')
        ++zeros;
    digits.remove(0, zeros);
    return digits.isEmpty() ? QByteArrayLiteral("0") : digits;
}

bool isZero(const QByteArray &digits)
{
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

QByteArray product(const QByteArray &a, const QByteArray &b)
{
    QList<int> sums(a.size() + b.size(), 0);
    for (qsizetype i = a.size() - 1; i >= 0; --i) {
        for (qsizetype j = b.size() - 1; j >= 0; --j)
            sums[i + j + 1] += (a[i] - '0') * (b[j] - '0');
    }
    for (qsizetype k = sums.size() - 1; k > 0; --k) {
        sums[k - 1] += sums[k] / 10;
        sums[k] %= 10;
    }
    QByteArray out;
    out.reserve(sums.size());
    for (const int digit : sums)
        out += char('0' + digit);
    return withoutLeadingZeros(out);
}

// The quotient's digits; the remainder is left in `remainder`.
QByteArray quotient(const QByteArray &digits, int divisor, int &remainder)
{
    QByteArray out;
    out.reserve(digits.size());
    remainder = 0;
    for (const char c : digits) {
        const int value = remainder * 10 + (c - '0');
        out += char('0' + value / divisor);
        remainder = value % divisor;
    }
    return withoutLeadingZeros(out);
}

QByteArray plusOne(QByteArray digits)
{
    qsizetype i = digits.size() - 1;
    while (i >= 0 && digits[i] == '9')
        digits[i--] = '0';
    if (i < 0)
        digits.prepend('1');
    else
        ++digits[i];
    return digits;
}

// Both of the same length.
int compare(const QByteArray &a, const QByteArray &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Both of the same length; the result keeps it.
QByteArray sum(const QByteArray &a, const QByteArray &b)
{
    QByteArray out(a.size(), '0');
    int carry = 0;
    for (qsizetype i = a.size() - 1; i >= 0; --i) {
        const int value = (a[i] - '0') + (b[i] - '0') + carry;
        out[i] = char('0' + value % 10);
        carry = value / 10;
    }
    return carry ? '1' + out : out;
}

// Both of the same length, a not below b.
QByteArray difference(const QByteArray &a, const QByteArray &b)
{
    QByteArray out(a.size(), '0');
    int borrow = 0;
    for (qsizetype i = a.size() - 1; i >= 0; --i) {
        int value = (a[i] - '0') - (b[i] - '0') - borrow;
        borrow = value < 0;
        out[i] = char('0' + value + 10 * borrow);
    }
    return out;
}

} // namespace

Decimal::Decimal(qint64 value)
    : m_negative(value < 0),
      m_digits(QByteArray::number(value < 0 ? -quint64(value) : quint64(value)))
{}

Decimal::Decimal(bool negative, QByteArray digits, int scale)
    : m_digits(withoutLeadingZeros(std::move(digits))), m_scale(scale)
{
    m_negative = negative && !isZero(m_digits);
}

std::optional<Decimal> Decimal::read(const QString &text)
{
    const auto written = readWrittenNumber(text);
    if (!written)
        return std::nullopt;
    return Decimal(written->negative, written->digits, written->scale);
}

Decimal Decimal::forMinutes(qint64 minutes) const
{
    const quint64 magnitude = minutes < 0 ? -quint64(minutes) : quint64(minutes);
    // In cents: amount × minutes × 100 / 60, the amount's own decimals still to be divided off.
    const QByteArray scaled = product(m_digits, QByteArray::number(magnitude)) + "00";
    const qsizetype whole = std::max<qsizetype>(0, scaled.size() - m_scale);
    int remainder = 0;
    QByteArray cents = quotient(whole ? scaled.left(whole) : QByteArrayLiteral("0"), 60, remainder);
    const bool fractionLeft = !isZero(scaled.mid(whole));
    const bool odd = (cents.back() - '0') % 2 == 1;
    if (remainder > 30 || (remainder == 30 && (fractionLeft || odd)))
        cents = plusOne(cents);
    return Decimal(m_negative != (minutes < 0), cents, 2);
}

QByteArray Decimal::digitsAtScale(int scale) const
{
    return m_digits + QByteArray(scale - m_scale, '0');
}

Decimal Decimal::operator-(const Decimal &other) const
{
    const int scale = std::max(m_scale, other.m_scale);
    QByteArray a = digitsAtScale(scale);
    QByteArray b = other.digitsAtScale(scale);
    const qsizetype width = std::max(a.size(), b.size());
    a = QByteArray(width - a.size(), '0') + a;
    b = QByteArray(width - b.size(), '0') + b;
    // a - b with b's sign turned round.
    if (m_negative != other.m_negative)
        return Decimal(m_negative, sum(a, b), scale);
    if (compare(a, b) >= 0)
        return Decimal(m_negative, difference(a, b), scale);
    return Decimal(!m_negative, difference(b, a), scale);
}

QString Decimal::text(QChar decimalMark) const
{
    QByteArray digits = m_digits;
    if (digits.size() <= m_scale)
        digits.prepend(QByteArray(m_scale + 1 - digits.size(), '0'));
    QString out = QString::fromLatin1(digits);
    if (m_scale > 0)
        out.insert(out.size() - m_scale, decimalMark);
    return m_negative ? QLatin1Char('-') + out : out;
}

} // namespace horalink
