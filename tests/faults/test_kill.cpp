#include "db/sqlite.h"
#include "support/datafixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace horalink;

// Ann's events are written by a separate copy of the program that is killed, again and again,
// at random moments. Whatever it reported as stored must be in the file, whole.
class KillTest : public QObject
{
    Q_OBJECT

private slots:
    void noReportedEventIsLostWhenTheProgramIsKilled();
};

void KillTest::noReportedEventIsLostWhenTheProgramIsKilled()
{
    DataFixture f;
    f.company();
    f.setFlag(QStringLiteral("subs"), 1);
    f.employee(QStringLiteral("Ann"));

    QRandomGenerator random(20261207);
    QSet<QString> reported;
    int kills = 0;
    for (int run = 0; kills < 60; ++run) {
        QProcess worker;
        worker.setProcessChannelMode(QProcess::SeparateChannels);
        const QString start =
            QDate(2027, 1, 1).addDays(run).toString(Qt::ISODate) + QStringLiteral(" 06:00:00");
        // Text mode reads Windows's line ends as the line feeds the worker writes elsewhere.
        worker.start(QStringLiteral(CLOCKWORKER), {f.folder(), start},
                     QIODevice::ReadWrite | QIODevice::Text);
        QVERIFY(worker.waitForStarted());
        // The moment of the kill is counted from the sign-on, which a slow start (Wine takes
        // seconds) would otherwise swallow.
        QByteArray told;
        while (!told.contains("SIGNED ON") && worker.waitForReadyRead(30000))
            told += worker.readAllStandardOutput();
        QTest::qWait(int(random.bounded(20, 400)));
        if (worker.state() == QProcess::Running) {
            worker.kill();
            ++kills;
        }
        QVERIFY(worker.waitForFinished());
        QVERIFY2(worker.readAllStandardError().indexOf("BOX") < 0, "the worker was shown a box");
        told += worker.readAllStandardOutput();
        for (const QByteArray &line : told.split('\n')) {
            if (line.startsWith("IN ") || line.startsWith("OUT "))
                reported << QString::fromLatin1(line);
        }

        QCOMPARE(f.value(QStringLiteral("PRAGMA integrity_check")).toString(),
                 QStringLiteral("ok"));
        QSet<QString> stored;
        QString previous = QStringLiteral("Clocked Out");
        for (const LogRow &row : f.log(QStringLiteral("Ann"))) {
            const bool in = row.inoutfx.toString() == QLatin1String("Clocked In");
            QVERIFY2(row.inoutfx.toString() != previous, "two events of the same kind in a row");
            QCOMPARE(row.ename.toString(), QStringLiteral("Ann"));
            QVERIFY(stamp(row.datetime.toString()).isValid());
            QCOMPARE(row.activity.isNull(), !in);
            stored << (in ? QStringLiteral("IN ") : QStringLiteral("OUT ")) +
                          row.datetime.toString();
            previous = row.inoutfx.toString();
        }
        for (const QString &event : std::as_const(reported))
            QVERIFY2(stored.contains(event), qPrintable(QStringLiteral("lost: ") + event));
    }
    QVERIFY(reported.size() > 20);

    // Afterwards the program starts and signs on as always.
    QProcess last;
    last.start(QStringLiteral(CLOCKWORKER),
               {f.folder(), QStringLiteral("2030-01-01 06:00:00"), QStringLiteral("2")});
    QVERIFY(last.waitForFinished());
    QCOMPARE(last.exitCode(), 0);
    QVERIFY(last.readAllStandardOutput().startsWith("SIGNED ON"));
}

QTEST_MAIN(KillTest)
#include "test_kill.moc"
