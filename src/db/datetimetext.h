#pragma once

#include <optional>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace horalink {

// What a date and time that cannot be read is refused with, wherever it is typed.
inline const QString InvalidDateTime =
    QStringLiteral("Invalid Date / Time.  Please correct the entry and try again");

// Stamps are wall-clock times without a zone; they are held as UTC so that no daylight-saving
// rule ever shifts or refuses one.
QDateTime naiveStamp(QDate date, QTime time);

// How a time stamp is kept in the file: local wall-clock time, to the second, no zone.
QString storedStamp(const QDateTime &stamp);
// Reads a stored stamp; an invalid QDateTime when the text is not one.
QDateTime parseStoredStamp(QStringView text);
// The same for a stamp's bytes read straight from the file: the fast path for long logs.
QDateTime parseStoredStamp(const char *text, int length);

// A stamp cut to its whole minute, as a count of minutes: the difference of two is the number
// of minute boundaries between them.
qint64 minuteNumber(const QDateTime &stamp);
// The same for a stored stamp read straight from the file; nothing when it is not one.
std::optional<qint64> storedMinute(const char *text, int length);

// A Gregorian date, and its days counted from 1970-01-01: worked out by hand, both ways, since
// the totals and the export do it for every row.
struct CivilDate
{
    int year;
    int month;
    int day;
};
qint64 epochDay(const CivilDate &date);
CivilDate civilDate(qint64 epochDay);

// The locale's short date, always with a four-digit year so that a date read back never
// lands in the wrong century.
QString shortDateFormat(const QLocale &locale = QLocale());
// The locale's long time of day, without a time zone: stamps carry none.
QString longTimeFormat(const QLocale &locale = QLocale());

QString shortDateText(QDate date, const QLocale &locale = QLocale());
QString longTimeText(QTime time, const QLocale &locale = QLocale());
// The general date-and-time form: short date, a blank, long time.
QString generalDateText(const QDateTime &stamp, const QLocale &locale = QLocale());

// Reads a date and time typed by a user, as a wall-clock stamp that no daylight-saving rule
// moves or refuses. The date is the locale's short date, with or without leading zeros and
// with a two-digit (1950 to 2049) or four-digit year, or ISO 'YYYY-MM-DD'; alone, it means
// 00:00 of that day. The time is the locale's long or short time or H:MM[:SS], in 24 hours or
// with AM or PM. Nothing else is accepted.
std::optional<QDateTime> readDateTime(const QString &text, const QLocale &locale = QLocale());

} // namespace horalink
