#include "db/datetimetext.h"

#include <ctime>
#include <QTest>

using namespace horalink;

class DateTimeTextTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsTypedDatesAndTimes_data();
    void readsTypedDatesAndTimes();
    void showsTheGeneralForm_data();
    void showsTheGeneralForm();
    void storedStampsRoundTrip();
    void civilDatesAgreeWithTheCalendar();
};

// Berlin skips 02:00 to 03:00 on 31 March 2024 and repeats 02:00 to 03:00 on 27 October 2024.
void DateTimeTextTest::initTestCase()
{
    // Windows takes its zone from the system and misreads a zone's name in TZ, which ctest sets
    // for Wine, which makes it the system's zone.
#ifdef Q_OS_WIN
    qunsetenv("TZ");
    _tzset();
#else
    qputenv("TZ", "Europe/Berlin");
    tzset();
#endif
    // Otherwise the rows of the skipped and repeated hours would pass in any zone.
    QCOMPARE(QDateTime(QDate(2024, 7, 1), QTime(12, 0)).offsetFromUtc(), 2 * 3600);
}

void DateTimeTextTest::readsTypedDatesAndTimes_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("read");
    const QString none;
    const struct
    {
        const char *row, *locale, *typed, *read;
    } rows[] = {
        {"us long time", "en_US", "3/2/2026 5:30:10 PM", "2026-03-02 17:30:10"},
        {"us short time", "en_US", "3/2/2026 5:30 PM", "2026-03-02 17:30:00"},
        {"us date alone", "en_US", "3/2/2026", "2026-03-02 00:00:00"},
        {"us two-digit year", "en_US", "12/7/26 7:30 AM", "2026-12-07 07:30:00"},
        {"us last year of the 2000s", "en_US", "12/7/49", "2049-12-07 00:00:00"},
        {"us first year of the 1900s", "en_US", "12/7/50", "1950-12-07 00:00:00"},
        {"us noon", "en_US", "3/2/2026 12:05 PM", "2026-03-02 12:05:00"},
        {"us midnight", "en_US", "3/2/2026 12:05:09 am", "2026-03-02 00:05:09"},
        {"us 24 hours", "en_US", "03/02/2026 19:05", "2026-03-02 19:05:00"},
        {"us blanks around", "en_US", "  3/2/2026   9:00 AM ", "2026-03-02 09:00:00"},
        {"german", "de_DE", "07.12.2026 07:10", "2026-12-07 07:10:00"},
        {"german without zeros", "de_DE", "7.12.2026 7:10", "2026-12-07 07:10:00"},
        {"german two-digit year", "de_DE", "7.12.26 7:15", "2026-12-07 07:15:00"},
        {"german seconds", "de_DE", "8.12.2026 8:00:59", "2026-12-08 08:00:59"},
        {"german 12 hours", "de_DE", "8.12.2026 8:00 PM", "2026-12-08 20:00:00"},
        {"british", "en_GB", "7/12/2026 7:30pm", "2026-12-07 19:30:00"},
        // The locale's own day halves are not AM and PM, which are read as well.
        {"spanish PM", "es_ES", "2/3/2026 5:30 PM", "2026-03-02 17:30:00"},
        {"spanish AM", "es_ES", "2/3/2026 5:30 AM", "2026-03-02 05:30:00"},
        // Dashes do not make a date ISO: its year comes first, with four digits.
        {"dutch two-digit year", "nl_NL", "26-03-02", "2002-03-26 00:00:00"},
        {"british date alone", "en_GB", "07/12/2026", "2026-12-07 00:00:00"},
        {"iso", "de_DE", "2026-03-02 17:30:10", "2026-03-02 17:30:10"},
        {"iso minutes", "en_US", "2026-03-02T17:30", "2026-03-02 17:30:00"},
        {"iso date", "en_GB", "2026-03-02", "2026-03-02 00:00:00"},
        {"skipped hour", "en_US", "3/31/2024 2:30:00 AM", "2024-03-31 02:30:00"},
        {"skipped hour german", "de_DE", "31.3.2024 2:30", "2024-03-31 02:30:00"},
        {"skipped hour iso", "en_US", "2024-03-31 02:30:00", "2024-03-31 02:30:00"},
        {"repeated hour", "en_US", "10/27/2024 2:30:00 AM", "2024-10-27 02:30:00"},
        {"repeated hour german", "de_DE", "27.10.2024 2:59:59", "2024-10-27 02:59:59"},
        {"word", "en_US", "tomorrow", nullptr},
        {"empty", "en_US", "", nullptr},
        {"month 13", "en_US", "13/2/2026", nullptr},
        {"february 31", "de_DE", "31.2.2026", nullptr},
        {"february 29 of a common year", "en_US", "2/29/2023", nullptr},
        {"hour 25", "en_US", "3/2/2026 25:00", nullptr},
        {"hour 0 with pm", "en_US", "3/2/2026 0:30 PM", nullptr},
        {"hour 13 with pm", "en_GB", "2/3/2026 13:00 pm", nullptr},
        {"second 60", "de_DE", "2.3.2026 7:30:60", nullptr},
        {"one-digit minute", "en_US", "3/2/2026 7:5", nullptr},
        {"three-digit year", "en_US", "3/2/202", nullptr},
        {"time run into the year", "en_US", "3/2/20265:30", nullptr},
        {"other order", "en_US", "2026/3/2", nullptr},
        {"dashed with a two-digit year", "en_US", "26-03-02", nullptr},
        {"trailing text", "en_US", "3/2/2026 5:30 PM later", nullptr},
        {"trailing zone", "en_US", "2026-03-02T17:30Z", nullptr},
    };
    for (const auto &row : rows) {
        QTest::newRow(row.row) << QString::fromLatin1(row.locale) << QString::fromUtf8(row.typed)
                               << (row.read ? QString::fromLatin1(row.read) : none);
    }
}

void DateTimeTextTest::readsTypedDatesAndTimes()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, read);
    const auto stamp = readDateTime(typed, QLocale(locale));
    QCOMPARE(stamp ? storedStamp(*stamp) : QString(), read);
}

void DateTimeTextTest::showsTheGeneralForm_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("shown");
    QTest::newRow("us") << "en_US"
                        << "3/2/2026 5:30:10 PM";
    QTest::newRow("german") << "de_DE"
                            << "02.03.2026 17:30:10";
    QTest::newRow("british") << "en_GB"
                             << "02/03/2026 17:30:10";
    QTest::newRow("french") << "fr_FR"
                            << "02/03/2026 17:30:10";
    QTest::newRow("japanese") << "ja_JP" << QString::fromUtf8("2026/03/02 17時30分10秒");
    QTest::newRow("spanish, zone in brackets") << "es_ES"
                                               << "2/3/2026 17:30:10";
    QTest::newRow("korean, day half first")
        << "ko_KR" << QString::fromUtf8("2026. 3. 2. 오후 5시 30분 10초");
    QTest::newRow("egyptian, own digits")
        << "ar_EG" << QString::fromUtf8("٢\u200f/٣\u200f/٢٠٢٦ ٥:٣٠:١٠ م");
    QTest::newRow("month names") << "C"
                                 << "2 Mar 2026 17:30:10";
}

// What the program shows must read back as the same stamp, whatever the locale writes.
void DateTimeTextTest::showsTheGeneralForm()
{
    QFETCH(QString, locale);
    QFETCH(QString, shown);
    const QLocale chosen(locale);
    const QDateTime afternoon = naiveStamp(QDate(2026, 3, 2), QTime(17, 30, 10));
    QCOMPARE(generalDateText(afternoon, chosen), shown);
    for (const QDateTime &when : {afternoon, naiveStamp(QDate(1949, 12, 31), QTime(0, 5, 9)),
                                  naiveStamp(QDate(2050, 1, 1), QTime(12, 59, 0))}) {
        QCOMPARE(readDateTime(generalDateText(when, chosen), chosen), std::optional(when));
    }
}

void DateTimeTextTest::storedStampsRoundTrip()
{
    const QDateTime when = parseStoredStamp(u"2026-12-31 23:59:59");
    QCOMPARE(storedStamp(when), QStringLiteral("2026-12-31 23:59:59"));
    QVERIFY(!parseStoredStamp(u"2026-02-30 10:00:00").isValid());
    QVERIFY(!parseStoredStamp(u"2026-12-31").isValid());
    QVERIFY(!parseStoredStamp(u"202--03-02 17:31:59").isValid());
    QVERIFY(!parseStoredStamp(u"2026-03-02 -1:31:59").isValid());
    QVERIFY(!parseStoredStamp(u"\u0662026-03-02 17:30:10").isValid());
    QCOMPARE(storedMinute("2026-03-02 09:01:59", 19).value() -
                 storedMinute("2026-03-02 09:00:00", 19).value(),
             1);
    QVERIFY(!storedMinute("2026-03-02 24:00:00", 19));
    // The minute of a stored stamp is the minute of the same stamp read as a date and time.
    for (const char *text : {"0001-01-01 00:00:00", "1899-12-31 23:59:00", "2000-02-29 12:30:00",
                             "2026-03-02 09:01:59", "2100-03-01 00:00:00", "9999-12-31 23:59:59"}) {
        QCOMPARE(storedMinute(text, 19),
                 std::optional(minuteNumber(parseStoredStamp(QString::fromLatin1(text)))));
        QCOMPARE(parseStoredStamp(text, 19), parseStoredStamp(QString::fromLatin1(text)));
    }
    for (const char *text : {"2100-02-29 00:00:00", "2026-04-31 00:00:00", "0000-01-01 00:00:00"}) {
        QVERIFY(!storedMinute(text, 19));
        QVERIFY(!parseStoredStamp(text, 19).isValid());
    }
    QVERIFY(!parseStoredStamp("2026-03-02 09:01:60", 19).isValid());
    QVERIFY(!parseStoredStamp("2026-03-02 09:01", 16).isValid());
    QVERIFY(!parseStoredStamp("2026-03-02 09:01-59", 19).isValid());
}

// Every day of two centuries and more, from its count of days and back, and as a stored stamp,
// is the day QDate knows; the day after a month's last is none.
void DateTimeTextTest::civilDatesAgreeWithTheCalendar()
{
    const qint64 epoch = QDate(1970, 1, 1).toJulianDay();
    for (QDate date(1899, 12, 1); date.year() < 2102; date = date.addDays(1)) {
        const qint64 day = date.toJulianDay() - epoch;
        const CivilDate civil = civilDate(day);
        QCOMPARE(QDate(civil.year, civil.month, civil.day), date);
        QCOMPARE(epochDay(civil), day);
        const QString text = date.toString(Qt::ISODate) + QStringLiteral(" 12:34:56");
        QCOMPARE(parseStoredStamp(text), naiveStamp(date, QTime(12, 34, 56)));
        if (date.day() == date.daysInMonth()) {
            const QString past = date.toString(QStringLiteral("yyyy-MM-")) +
                                 QString::number(date.day() + 1) + QStringLiteral(" 12:34:56");
            QVERIFY2(!parseStoredStamp(past).isValid(), qPrintable(past));
        }
    }
    for (const QDate date : {QDate(1, 1, 1), QDate(9999, 12, 31)}) {
        const CivilDate civil = civilDate(date.toJulianDay() - epoch);
        QCOMPARE(QDate(civil.year, civil.month, civil.day), date);
    }
    // A character beyond ASCII is no digit or separator, whatever its low byte.
    QVERIFY(!parseStoredStamp(u"2026-03-02 1\u0137:30:10").isValid());
    QVERIFY(!parseStoredStamp(u"2026\u012D03-02 17:30:10").isValid());
}

QTEST_MAIN(DateTimeTextTest)
#include "test_datetimetext.moc"
