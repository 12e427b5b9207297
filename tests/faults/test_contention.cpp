#include "db/database.h"
#include "db/sqlite.h"
#include "support/fixture.h"
#include "ui/program.h"

#include <QTest>
#include <thread>

using namespace horalink;

// Another copy of the program on the same file, and a file that cannot grow.
class ContentionTest : public QObject
{
    Q_OBJECT

private slots:
    void aClockInWaitsForAnotherCopysWrite();
    void aLockHeldTooLongIsReportedAndNothingIsWritten();
    void aFullDiskIsReportedAndTheLogKept();
};

namespace {

void signOnAnn(Fixture &f)
{
    f.company();
    f.setFlag(QStringLiteral("subs"), 1);
    f.employee(QStringLiteral("Ann"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
}

// Holds the file's write lock from another connection for a while.
std::thread holdWriteLock(const QString &path, int milliseconds)
{
    auto other = SqliteConnection::openExisting(path);
    other->exec(QStringLiteral("BEGIN IMMEDIATE"));
    return std::thread([other = std::move(other), milliseconds]() mutable {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        other->exec(QStringLiteral("COMMIT"));
    });
}

} // namespace

void ContentionTest::aClockInWaitsForAnotherCopysWrite()
{
    Fixture f;
    signOnAnn(f);
    std::thread other = holdWriteLock(f.databasePath(), 1500);
    f.click(QStringLiteral("clockin"));
    other.join();
    QVERIFY(f.prompts.boxes.isEmpty());
    QCOMPARE(f.statuses(QStringLiteral("Ann")), QStringList({"Clocked In"}));
}

void ContentionTest::aLockHeldTooLongIsReportedAndNothingIsWritten()
{
    Fixture f;
    signOnAnn(f);
    std::thread other = holdWriteLock(f.databasePath(), 7000);
    f.click(QStringLiteral("clockin"));
    other.join();
    QVERIFY(programEnded());
    QCOMPARE(f.prompts.boxes.size(), 1);
    QVERIFY(f.prompts.boxes.first().text.contains(QStringLiteral("locked")));
    QVERIFY(f.log(QStringLiteral("Ann")).isEmpty());
}

void ContentionTest::aFullDiskIsReportedAndTheLogKept()
{
    Fixture f;
    signOnAnn(f);
    Connection &program = openDatabase(EmployeeMdb);
    Statement pages(program, QStringLiteral("PRAGMA page_count"));
    QVERIFY(pages.step());
    const qint64 count = pages.integer(0);
    program.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(count));
    // Fill Ann's pages up to the limit with finished shifts.
    int added = 0;
    try {
        for (;; ++added) {
            Statement insert(program,
                             QStringLiteral("INSERT INTO Ann (Ename, datetime, inoutfx, activity) "
                                            "VALUES ('Ann', '2026-01-01 08:00:00', ?1, ?2)"));
            const bool in = added % 2 == 0;
            insert.bind(1, in ? QStringLiteral("Clocked In") : QStringLiteral("Clocked Out"))
                .bind(2, in ? QVariant(QString(30, QLatin1Char('x'))) : QVariant());
            insert.run();
        }
    } catch (const DbError &) {
    }
    if (added % 2 == 1) {
        Statement drop(
            program, QStringLiteral("DELETE FROM Ann WHERE rowid = (SELECT max(rowid) FROM Ann)"));
        drop.run();
        --added;
    }
    const QStringList before = f.stamps(QStringLiteral("Ann"));
    f.click(QStringLiteral("clockin"));
    QVERIFY(programEnded());
    QCOMPARE(f.prompts.boxes.size(), 1);
    QVERIFY2(f.prompts.boxes.first().text.contains(QStringLiteral("full")),
             qPrintable(f.prompts.boxes.first().text));
    QCOMPARE(f.stamps(QStringLiteral("Ann")), before);
}

QTEST_MAIN(ContentionTest)
#include "test_contention.moc"
