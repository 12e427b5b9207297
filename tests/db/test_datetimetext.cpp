#include "db/datetimetext.h"

#include <QTest>

using namespace horalink;

class DateTimeTextTest : public QObject
{
    Q_OBJECT

private slots:
    void readsTypedDatesAndTimes_data();
    void readsTypedDatesAndTimes();
    void showsTheGeneralForm();
    void storedStampsRoundTrip();
};

void DateTimeTextTest::readsTypedDatesAndTimes_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("read");
    const QString none;
    QTest::newRow("us long time") << "en_US"
                                  << "3/2/2026 5:30:10 PM"
                                  << "2026-03-02 17:30:10";
    QTest::newRow("us short time") << "en_US"
                                   << "3/2/2026 5:30 PM"
                                   << "2026-03-02 17:30:00";
    QTest::newRow("us date alone") << "en_US"
                                   << "3/2/2026"
                                   << "2026-03-02 00:00:00";
    QTest::newRow("us two-digit year") << "en_US"
                                       << "3/2/26 9:00:00 AM"
                                       << "2026-03-02 09:00:00";
    QTest::newRow("us blanks around") << "en_US"
                                      << "  3/2/2026   9:00 AM "
                                      << "2026-03-02 09:00:00";
    QTest::newRow("iso") << "en_US"
                         << "2026-03-02 17:30:10"
                         << "2026-03-02 17:30:10";
    QTest::newRow("iso minutes") << "en_US"
                                 << "2026-03-02 17:30"
                                 << "2026-03-02 17:30:00";
    QTest::newRow("iso date") << "en_US"
                              << "2026-03-02"
                              << "2026-03-02 00:00:00";
    QTest::newRow("german") << "de_DE"
                            << "02.03.2026 17:30:10"
                            << "2026-03-02 17:30:10";
    QTest::newRow("german two-digit year") << "de_DE"
                                           << "02.03.26"
                                           << "2026-03-02 00:00:00";
    QTest::newRow("british") << "en_GB"
                             << "02/03/2026 17:30"
                             << "2026-03-02 17:30:00";
    QTest::newRow("word") << "en_US"
                          << "tomorrow" << none;
    QTest::newRow("empty") << "en_US"
                           << "" << none;
    QTest::newRow("no such day") << "en_US"
                                 << "2/30/2026" << none;
    QTest::newRow("no such hour") << "en_US"
                                  << "2026-03-02 25:00" << none;
    QTest::newRow("trailing text") << "en_US"
                                   << "3/2/2026 5:30 PM later" << none;
}

void DateTimeTextTest::readsTypedDatesAndTimes()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, read);
    const auto stamp = readDateTime(typed, QLocale(locale));
    QCOMPARE(stamp ? storedStamp(*stamp) : QString(), read);
}

void DateTimeTextTest::showsTheGeneralForm()
{
    const QDateTime when = naiveStamp(QDate(2026, 3, 2), QTime(17, 30, 10));
    QCOMPARE(generalDateText(when, QLocale(QStringLiteral("en_US"))),
             QStringLiteral("3/2/2026 5:30:10 PM"));
    QCOMPARE(generalDateText(when, QLocale(QStringLiteral("de_DE"))),
             QStringLiteral("02.03.2026 17:30:10"));
    // What is shown must read back as the same stamp.
    for (const char *name : {"en_US", "de_DE", "en_GB", "fr_FR", "ja_JP"}) {
        const QLocale locale{QString::fromLatin1(name)};
        QCOMPARE(readDateTime(generalDateText(when, locale), locale), std::optional(when));
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

QTEST_MAIN(DateTimeTextTest)
#include "test_datetimetext.moc"
