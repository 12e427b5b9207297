#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

namespace horalink {

// A decimal number kept as its digits and the count of them after the point, so that money is
// figured the way it is written: no binary fraction ever rounds a cent.
class Decimal
{
public:
    Decimal() = default;
    explicit Decimal(qint64 value);

    // The one rule by which a wage or an hours text is read, in every locale, so that a file
    // reads alike wherever it is opened: blanks around it ignored, a sign, digits with at most
    // one decimal mark, a point or a comma, and an exponent; never a grouping mark. Nothing
    // when the text is no number, or when its exponent would make a number no wage can be.
    static std::optional<Decimal> read(const QString &text);
    // The same number in double precision; nothing when it lies beyond that precision.
    std::optional<double> toDouble() const;

    // What `minutes` come to at this amount per hour: minutes × amount / 60, to the cent,
    // a half cent rounded to the even cent.
    Decimal forMinutes(qint64 minutes) const;
    Decimal operator-(const Decimal &other) const;

    // Plain digits, never an exponent; the point written as the decimal mark given.
    QString text(QChar decimalMark = QLatin1Char('.')) const;

private:
    Decimal(bool negative, QByteArray digits, int scale);
    QByteArray digitsAtScale(int scale) const;

    bool m_negative = false;
    // The magnitude's digits without leading zeros ("0" for zero), the last m_scale of them
    // after the point.
    QByteArray m_digits = QByteArrayLiteral("0");
    int m_scale = 0;
};

} // namespace horalink
