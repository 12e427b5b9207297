#include "datetimetext.h"

#include <algorithm>
#include <array>
#include <QStringList>

namespace horalink {

namespace {

// QDate's Julian day of 1970-01-01, where milliseconds since the epoch start.
constexpr qint64 JulianDayOfEpoch = 2440588;

// Drops the time-zone field ('t') of a Qt time format, with the brackets around it and the
// blanks and commas that set it off: stamps carry no zone, and "17:30:10 ()" is no time.
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
    out.remove(QLatin1String("()"));
    out.remove(QLatin1String("[]"));
    const auto loose = [](QChar c) {
        return c.isSpace() || c == QLatin1Char(',');
    };
    qsizetype from = 0;
    qsizetype to = out.size();
    while (from < to && loose(out[from]))
        ++from;
    while (to > from && loose(out[to - 1]))
        --to;
    return out.mid(from, to - from);
}

} // namespace

QString storedStamp(const QDateTime &stamp)
{
    return stamp.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
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

// Both ways count in eras of 400 years from 0000-03-01, so that a leap day closes its year.
qint64 epochDay(const CivilDate &date)
{
    const int year = date.year - (date.month <= 2);
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = int(year - era * 400);
    const int dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate civilDate(qint64 epochDay)
{
    const qint64 shifted = epochDay + 719468;
    const qint64 era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const qint64 dayOfEra = shifted - era * 146097;
    const qint64 yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 monthIndex = (5 * dayOfYear + 2) / 153;
    const int month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    return {int(yearOfEra + era * 400 + (month <= 2)), month,
            int(dayOfYear - (153 * monthIndex + 2) / 5 + 1)};
}

namespace {

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

qint64 julianDay(int year, int month, int day)
{
    return epochDay({year, month, day}) + JulianDayOfEpoch;
}

// The fields of a stored stamp up to its minutes, or to its seconds, each checked; nothing when
// the text is not one. Further characters are not looked at. Only the digits the program
// writes count: a stamp that the totals cannot read must not be shown or printed as a date
// either.
template <typename Char>
std::optional<std::array<int, 6>> storedFields(const Char *text, qsizetype length, int fieldCount)
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

namespace {

template <typename Char> QDateTime parsedStamp(const Char *text, qsizetype length)
{
    const auto fields = length == 19 ? storedFields(text, length, 6) : std::nullopt;
    if (!fields)
        return {};
    const auto &[year, month, day, hour, minute, second] = *fields;
    const qint64 seconds = (julianDay(year, month, day) - JulianDayOfEpoch) * 86400 + hour * 3600 +
                           minute * 60 + second;
    return QDateTime::fromMSecsSinceEpoch(seconds * 1000, Qt::UTC);
}

} // namespace

QDateTime parseStoredStamp(QStringView text)
{
    return parsedStamp(text.utf16(), text.size());
}

QDateTime parseStoredStamp(const char *text, int length)
{
    return parsedStamp(text, length);
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

namespace {

// What one piece of a date or time format stands for.
enum class Kind
{
    Text,
    Day,
    Month,
    MonthName,
    Year,     // two or four digits
    FullYear, // four digits
    Hour,
    Minute,
    Second,
    DayHalf // AM or PM
};

struct Piece
{
    Kind part;
    // The digits the format writes for a minute or second: written with two, it is typed with
    // two, so that "7:5" is not taken for 7:05 or 7:50.
    int width = 1;
    QString text{};
};

using Pattern = QList<Piece>;

// The piece a field of a format stands for: a run of one letter, `run` long.
Piece fieldPiece(QChar letter, qsizetype run)
{
    switch (letter.unicode()) {
    case 'd':
        return {Kind::Day};
    case 'M':
        return {run >= 3 ? Kind::MonthName : Kind::Month};
    case 'y':
        return {Kind::Year};
    case 'h':
    case 'H':
        return {Kind::Hour};
    case 'm':
        return {Kind::Minute, int(std::min<qsizetype>(run, 2))};
    case 's':
        return {Kind::Second, int(std::min<qsizetype>(run, 2))};
    default:
        return {Kind::DayHalf};
    }
}

// How many characters the field at `at` takes: a run of one letter, but "A" or "AP" for the
// day half.
qsizetype fieldLength(const QString &format, qsizetype at)
{
    const QChar letter = format[at];
    if (letter == QLatin1Char('a') || letter == QLatin1Char('A'))
        return at + 1 < format.size() && QStringLiteral("pP").contains(format[at + 1]) ? 2 : 1;
    qsizetype run = 1;
    while (at + run < format.size() && format[at + run] == letter)
        ++run;
    return run;
}

// The pieces of a Qt date or time format, such as "M/d/yy" or "h:mm:ss AP".
Pattern patternOf(const QString &format)
{
    Pattern pattern;
    const auto addText = [&pattern](QChar c) {
        if (pattern.isEmpty() || pattern.last().part != Kind::Text)
            pattern.append({Kind::Text});
        pattern.last().text += c;
    };
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            const bool doubled = i + 1 < format.size() && format[i + 1] == c;
            if (doubled)
                addText(c);
            else
                quoted = !quoted;
            i += doubled ? 2 : 1;
        } else if (quoted || !QStringLiteral("dMyhHmsaA").contains(c)) {
            addText(c);
            ++i;
        } else {
            const qsizetype length = fieldLength(format, i);
            pattern.append(fieldPiece(c, length));
            i += length;
        }
    }
    return pattern;
}

// What a typed text said; a field it did not give stays 0, which no date has.
struct Reading
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    enum class Half
    {
        None,
        Am,
        Pm
    } half = Half::None;
};

// Blanks and invisible marks (the right-to-left marks of an Arabic date) separate nothing.
bool ignorable(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Format;
}

qsizetype skipIgnorable(QStringView text, qsizetype at)
{
    while (at < text.size() && ignorable(text[at]))
        ++at;
    return at;
}

// Where `word` ends when it stands at `at` in a case-folded text, regardless of case, blanks
// and invisible marks.
std::optional<qsizetype> matchWord(QStringView text, qsizetype at, const QString &word)
{
    for (const QChar c : word.toCaseFolded()) {
        if (ignorable(c))
            continue;
        at = skipIgnorable(text, at);
        if (at == text.size() || text[at] != c)
            return std::nullopt;
        ++at;
    }
    return at;
}

struct Match
{
    qsizetype index;
    qsizetype end;
};

// The longest of `words` at `at`. A word with nothing visible never matches: an empty AM text
// must not turn every time into a morning.
std::optional<Match> longestWord(QStringView text, qsizetype at, const QStringList &words)
{
    std::optional<Match> best;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const auto end = matchWord(text, at, words[i]);
        if (end && *end > at && (!best || *end > best->end))
            best = Match{i, *end};
    }
    return best;
}

struct Number
{
    int value;
    int digits;
    qsizetype end;
};

// The whole run of digits at `at`, in any script (Chakma and Adlam ones lie beyond 16 bits),
// so that "20265" is no year 2026 followed by a 5; no field has more than four digits.
std::optional<Number> numberAt(QStringView text, qsizetype at)
{
    Number number{0, 0, skipIgnorable(text, at)};
    while (number.end < text.size()) {
        const bool pair = text[number.end].isHighSurrogate() && number.end + 1 < text.size() &&
                          text[number.end + 1].isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(text[number.end], text[number.end + 1])
                                : text[number.end].unicode();
        if (!QChar::isDigit(c))
            break;
        if (++number.digits > 4)
            return std::nullopt;
        number.value = number.value * 10 + QChar::digitValue(c);
        number.end += pair ? 2 : 1;
    }
    if (number.digits == 0)
        return std::nullopt;
    return number;
}

bool fits(const Piece &piece, int digits)
{
    switch (piece.part) {
    case Kind::Year:
        return digits == 2 || digits == 4;
    case Kind::FullYear:
        return digits == 4;
    case Kind::Minute:
    case Kind::Second:
        return digits >= piece.width && digits <= 2;
    default:
        return digits <= 2;
    }
}

void store(Kind part, const Number &number, Reading &reading)
{
    switch (part) {
    case Kind::Day:
        reading.day = number.value;
        break;
    case Kind::Month:
        reading.month = number.value;
        break;
    case Kind::Year:
    case Kind::FullYear:
        reading.year =
            number.digits == 2 ? (number.value < 50 ? 2000 : 1900) + number.value : number.value;
        break;
    case Kind::Hour:
        reading.hour = number.value;
        break;
    case Kind::Minute:
        reading.minute = number.value;
        break;
    default:
        reading.second = number.value;
    }
}

QStringList dayHalves(const QLocale &locale)
{
    return {locale.amText(), locale.pmText(), QStringLiteral("AM"), QStringLiteral("PM")};
}

// Each month as four words: long and short, in a date and standing alone.
QStringList monthNames(const QLocale &locale)
{
    QStringList names;
    for (int month = 1; month <= 12; ++month) {
        for (const auto format : {QLocale::LongFormat, QLocale::ShortFormat}) {
            names << locale.monthName(month, format) << locale.standaloneMonthName(month, format);
        }
    }
    return names;
}

// Reads a field, or the day half, at `at`; where it ends. The day half may be left out.
std::optional<qsizetype> readField(const Piece &piece, QStringView text, qsizetype at,
                                   const QLocale &locale, Reading &reading)
{
    if (piece.part == Kind::DayHalf) {
        const auto half = longestWord(text, at, dayHalves(locale));
        if (!half)
            return at;
        reading.half = half->index % 2 ? Reading::Half::Pm : Reading::Half::Am;
        return half->end;
    }
    if (piece.part == Kind::MonthName) {
        const auto month = longestWord(text, at, monthNames(locale));
        if (!month)
            return std::nullopt;
        reading.month = int(month->index / 4 + 1);
        return month->end;
    }
    const auto number = numberAt(text, at);
    if (!number || !fits(piece, number->digits))
        return std::nullopt;
    store(piece.part, *number, reading);
    return number->end;
}

// Reads `pattern` at `at`; where the reading ends. Text before the first or after the last
// field may be left out, such as the "г." after a Bulgarian date.
std::optional<qsizetype> readPattern(const Pattern &pattern, QStringView text, qsizetype at,
                                     const QLocale &locale, Reading &reading)
{
    const auto isField = [](const Piece &piece) {
        return piece.part != Kind::Text && piece.part != Kind::DayHalf;
    };
    const auto first = std::find_if(pattern.begin(), pattern.end(), isField) - pattern.begin();
    const auto last =
        std::find_if(pattern.rbegin(), pattern.rend(), isField).base() - pattern.begin() - 1;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const Piece &piece = pattern[i];
        const auto end = piece.part == Kind::Text ? matchWord(text, at, piece.text)
                                                  : readField(piece, text, at, locale, reading);
        if (!end && (piece.part != Kind::Text || (i > first && i < last)))
            return std::nullopt;
        at = end.value_or(at);
    }
    return at;
}

// A time read with AM or PM runs from 12 to 11: "0:30 PM" and "13:00 PM" are no times.
std::optional<QTime> timeOf(const Reading &reading)
{
    int hour = reading.hour;
    if (reading.half != Reading::Half::None) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (reading.half == Reading::Half::Pm ? 12 : 0);
    }
    const QTime time(hour, reading.minute, reading.second);
    return time.isValid() ? std::optional(time) : std::nullopt;
}

// The time of day that ends the text: the locale's long or short time, or H:MM[:SS], each in
// 24 hours or with AM or PM.
std::optional<QTime> readTime(QStringView text, qsizetype at, const QLocale &locale)
{
    const QString formats[] = {longTimeFormat(locale),
                               withoutZone(locale.timeFormat(QLocale::ShortFormat)),
                               QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")};
    for (const QString &format : formats) {
        Pattern pattern = patternOf(format);
        if (std::none_of(pattern.begin(), pattern.end(),
                         [](const Piece &piece) { return piece.part == Kind::DayHalf; }))
            pattern.append({Kind::DayHalf});
        Reading reading;
        const auto end = readPattern(pattern, text, at, locale, reading);
        if (!end || skipIgnorable(text, *end) != text.size())
            continue;
        if (const auto time = timeOf(reading))
            return time;
    }
    return std::nullopt;
}

} // namespace

std::optional<QDateTime> readDateTime(const QString &typed, const QLocale &locale)
{
    const QString text = typed.simplified().toCaseFolded();
    const Pattern iso = {{Kind::FullYear},
                         {Kind::Text, 1, QStringLiteral("-")},
                         {Kind::Month},
                         {Kind::Text, 1, QStringLiteral("-")},
                         {Kind::Day}};
    const Pattern local = patternOf(locale.dateFormat(QLocale::ShortFormat));
    for (const Pattern *pattern : {&iso, &local}) {
        Reading reading;
        const auto end = readPattern(*pattern, text, 0, locale, reading);
        const QDate date(reading.year, reading.month, reading.day);
        if (!end || !date.isValid())
            continue;
        if (skipIgnorable(text, *end) == text.size())
            return naiveStamp(date, QTime(0, 0));
        const QChar split = text[*end];
        if (!split.isSpace() && !(pattern == &iso && split == QLatin1Char('t')))
            continue;
        if (const auto time = readTime(text, *end + 1, locale))
            return naiveStamp(date, *time);
    }
    return std::nullopt;
}

} // namespace horalink
