#pragma once

#include <optional>
#include <QDateTime>
#include <QString>

namespace horalink {

// Whole minutes between two stamps, counting minute boundaries: 08:00:59 to 08:01:00 is 1,
// 08:00:00 to 08:00:59 is 0. Negative when the second comes first.
qint64 minuteDifference(const QDateTime &from, const QDateTime &to);

// Adds one pair's minutes to a running total kept, like the figures always were, in single
// precision.
float addMinutes(float totalMinutes, qint64 minutes);

// Single-precision hours of a number of minutes.
float hoursOf(float totalMinutes);

// The four-character hours text shown in "Tot. Hours" and used for the wage figure: "0" and
// three blanks below 0.11 hours, otherwise the hours to seven significant digits, cut to or
// padded out to four characters.
QString hoursText(float totalMinutes);
// The same field for one pair on a time card, with "<.1 " for pairs below 0.11 hours.
QString subtotalText(float minutes);
// The four-character field of a time card's hours, from hours: "<.1 " below 0.11 hours.
QString cardHoursText(float hours);
// The manager's card total: the subtotals as printed, read back and summed in single
// precision; one printed as "<.1 " adds nothing.
float addPrintedHours(float total, const QString &printedSubtotal);
// A text cut after its fourth character or padded with blanks to four.
QString fourCharacters(const QString &text);

// A wage or an hours text read by the one rule (Decimal::read), in double precision; nothing
// when it is no number or beyond that precision.
std::optional<double> readNumber(const QString &text);

// The hours text as a whole number of hundredths, ties to even.
int hundredths(const QString &hoursText);
// Estimated wages from the wage and the four-character hours text, in double precision:
// the figure the wages box shows, not rounded to cents. Nothing when the wage is no number.
std::optional<double> estimatedWages(const QString &wageText, const QString &hoursText);
// "0" for nothing, otherwise up to fifteen significant digits.
QString wagesText(double wages);

// The "###.0" pattern of the manager's time card: no leading zero, one decimal, rounded half
// up. A text that is no number is returned unchanged.
QString patternText(const QString &text);

} // namespace horalink
