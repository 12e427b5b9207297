#include "decimal.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <QList>

namespace horalink {

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
    // The exponent after an "e", 0 without one; nothing when it is none a wage can have.
    std::optional<int> exponent()
    {
        if (!take({'e', 'E'}))
            return 0;
        const bool negative = sign();
        const QByteArray written = digits();
        const int exponent = written.size() <= 3 ? written.toInt() : -1;
        if (written.isEmpty() || exponent < 0 || exponent > LargestExponent)
            return std::nullopt;
        return negative ? -exponent : exponent;
    }

private:
    const QString &m_text;
    qsizetype m_at = 0;
};

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
    const QString trimmed = text.trimmed();
    Scan scan(trimmed);
    const bool negative = scan.sign();
    QByteArray digits = scan.digits();
    int scale = 0;
    if (scan.take({'.', ','})) {
        const QByteArray fraction = scan.digits();
        digits += fraction;
        scale = int(fraction.size());
    }
    if (digits.isEmpty())
        return std::nullopt;
    const auto exponent = scan.exponent();
    if (!exponent || !scan.atEnd())
        return std::nullopt;
    scale -= *exponent;
    if (scale < 0) {
        digits += QByteArray(-scale, '0');
        scale = 0;
    }
    return Decimal(negative, digits, scale);
}

std::optional<double> Decimal::toDouble() const
{
    const QByteArray c = (m_negative ? "-" : "") + m_digits + 'e' + QByteArray::number(-m_scale);
    bool ok = false;
    const double value = c.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
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
