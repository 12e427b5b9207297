#include "datetimetext.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <QRegularExpression>
#include <QStringList>

namespace horalink {

namespace {

// QDate's Julian day of 1970-01-01, where milliseconds since the epoch start.
constexpr qint64 JulianDayOfEpoch = 2440588;

int digits(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const QChar c = text[i];
        if (!c.isDigit())
            return -1;
        value = value * 10 + c.digitValue();
    }
    return value;
}

// Drops the unquoted time-zone fields ('t') of a Qt time format, with the blanks before them.
QString withoutZone(const QString &format)
{
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.trimmed();
}

// A two-digit year is read into 1950..2049 rather than Qt's 1900s.
QDate widenYear(QDate date, const QString &format)
{
    if (format.contains(QLatin1String("yyyy")) || !format.contains(QLatin1String("yy")))
        return date;
    const int yy = date.year() % 100;
    return QDate(yy < 50 ? 2000 + yy : 1900 + yy, date.month(), date.day());
}

std::optional<QDateTime> readIso(const QString &text)
{
    const qsizetype split = text.indexOf(QRegularExpression(QStringLiteral("[ T]")));
    const QDate date =
        QDate::fromString(text.left(split < 0 ? text.size() : split), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return std::nullopt;
    if (split < 0)
        return naiveStamp(date, QTime(0, 0));
    const QString clock = text.mid(split + 1);
    for (const auto &format : {QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")}) {
        const QTime time = QTime::fromString(clock, format);
        if (time.isValid())
            return naiveStamp(date, time);
    }
    return std::nullopt;
}

} // namespace

QString storedStamp(const QDateTime &stamp)
{
    return stamp.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime parseStoredStamp(QStringView text)
{
    if (text.size() != 19 || text[4] != QLatin1Char('-') || text[7] != QLatin1Char('-') ||
        text[10] != QLatin1Char(' ') || text[13] != QLatin1Char(':') ||
        text[16] != QLatin1Char(':'))
        return {};
    const int fields[6] = {digits(text, 0, 4),  digits(text, 5, 2),  digits(text, 8, 2),
                           digits(text, 11, 2), digits(text, 14, 2), digits(text, 17, 2)};
    // A field that is not all digits must not slip through as a year before Christ.
    if (std::any_of(std::begin(fields), std::end(fields), [](int field) { return field < 0; }))
        return {};
    const QDate date(fields[0], fields[1], fields[2]);
    const QTime time(fields[3], fields[4], fields[5]);
    if (!date.isValid() || !time.isValid())
        return {};
    return naiveStamp(date, time);
}

QDateTime naiveStamp(QDate date, QTime time)
{
    return QDateTime(date, QTime(time.hour(), time.minute(), time.second()), Qt::UTC);
}

qint64 minuteNumber(const QDateTime &stamp)
{
    // A stamp held as UTC counts its minutes straight from its milliseconds, without building
    // a date: the reports do this for every row of every log.
    if (stamp.timeSpec() == Qt::UTC) {
        const qint64 msecs = stamp.toMSecsSinceEpoch();
        const qint64 minutes = msecs / 60000 - (msecs % 60000 < 0);
        return JulianDayOfEpoch * 1440 + minutes;
    }
    return stamp.date().toJulianDay() * 1440 + stamp.time().hour() * 60 + stamp.time().minute();
}

namespace {

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// The Julian day of a Gregorian date, as QDate counts it, without building a QDate: this runs
// once for every row of every total.
qint64 julianDay(int year, int month, int day)
{
    year -= month <= 2;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = int(year - era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + JulianDayOfEpoch;
}

// The fields of a stored stamp's bytes up to its minutes, or to its seconds, each checked;
// nothing when the text is not one. Further bytes are not looked at.
std::optional<std::array<int, 6>> storedFields(const char *text, int length, int fieldCount)
{
    if (length < 3 * fieldCount + 1 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || (fieldCount == 6 && text[16] != ':'))
        return std::nullopt;
    std::array<int, 6> fields = {};
    const int at[6][2] = {{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}};
    for (int f = 0; f < fieldCount; ++f) {
        for (int i = at[f][0]; i < at[f][0] + at[f][1]; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return std::nullopt;
            fields[f] = fields[f] * 10 + (text[i] - '0');
        }
    }
    static constexpr int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = fields[0];
    const int month = fields[1];
    const int day = fields[2];
    // Year 0 does not exist for QDate either.
    if (year < 1 || month < 1 || month > 12 || day < 1 || fields[3] > 23 || fields[4] > 59 ||
        fields[5] > 59)
        return std::nullopt;
    if (day > monthDays[month - 1] + (month == 2 && isLeapYear(year)))
        return std::nullopt;
    return fields;
}

} // namespace

std::optional<qint64> storedMinute(const char *text, int length)
{
    const auto fields = storedFields(text, length, 5);
    if (!fields)
        return std::nullopt;
    const auto &[year, month, day, hour, minute, second] = *fields;
    return julianDay(year, month, day) * 1440 + hour * 60 + minute;
}

QDateTime parseStoredStamp(const char *text, int length)
{
    const auto fields = length == 19 ? storedFields(text, length, 6) : std::nullopt;
    if (!fields)
        return {};
    const auto &[year, month, day, hour, minute, second] = *fields;
    const qint64 seconds = (julianDay(year, month, day) - JulianDayOfEpoch) * 86400 + hour * 3600 +
                           minute * 60 + second;
    return QDateTime::fromMSecsSinceEpoch(seconds * 1000, Qt::UTC);
}

QString shortDateFormat(const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString longTimeFormat(const QLocale &locale)
{
    return withoutZone(locale.timeFormat(QLocale::LongFormat));
}

QString shortDateText(QDate date, const QLocale &locale)
{
    return locale.toString(date, shortDateFormat(locale));
}

QString longTimeText(QTime time, const QLocale &locale)
{
    return locale.toString(time, longTimeFormat(locale));
}

QString generalDateText(const QDateTime &stamp, const QLocale &locale)
{
    return shortDateText(stamp.date(), locale) + QLatin1Char(' ') +
           longTimeText(stamp.time(), locale);
}

std::optional<QDateTime> readDateTime(const QString &typed, const QLocale &locale)
{
    const QString text = typed.simplified();
    if (text.isEmpty())
        return std::nullopt;
    if (auto iso = readIso(text))
        return iso;

    const QStringList dateFormats = {shortDateFormat(locale),
                                     locale.dateFormat(QLocale::ShortFormat)};
    const QStringList timeFormats = {longTimeFormat(locale),
                                     withoutZone(locale.timeFormat(QLocale::ShortFormat))};
    for (const QString &dateFormat : dateFormats) {
        for (const QString &timeFormat : timeFormats) {
            const QString format = dateFormat + QLatin1Char(' ') + timeFormat;
            const QDateTime stamp = locale.toDateTime(text, format);
            if (stamp.isValid())
                return naiveStamp(widenYear(stamp.date(), format), stamp.time());
        }
        const QDate date = locale.toDate(text, dateFormat);
        if (date.isValid())
            return naiveStamp(widenYear(date, dateFormat), QTime(0, 0));
    }
    return std::nullopt;
}

} // namespace horalink
