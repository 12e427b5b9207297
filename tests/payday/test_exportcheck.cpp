#include "clock/clocking.h"
#include "db/connection.h"
#include "db/cursor.h"
#include "db/database.h"
#include "db/employees.h"
#include "db/sqlite.h"
#include "db/timelog.h"
#include "payday/backup.h"
#include "payday/export.h"
#include "payday/exportcheck.h"
#include "support/datafixture.h"

#include <functional>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

using Change = std::function<void(DataFixture &)>;

Period firstWeekOfMarch()
{
    return {stamp(QStringLiteral("2026-03-01 00:00:00")),
            stamp(QStringLiteral("2026-03-08 00:00:00"))};
}

// Ann and Bob worked in the first week of March, which was exported on 10 March.
void exported(DataFixture &f, const QString &folder)
{
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 08:00:00"), ClockedIn);
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 16:00:00"), ClockedOut);
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-03 08:00:00"), ClockedIn);
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-03 16:00:00"), ClockedOut);
    f.employee(QStringLiteral("Bob"));
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-02 09:00:00"), ClockedIn);
    f.event(QStringLiteral("Bob"), QStringLiteral("2026-03-02 17:00:00"), ClockedOut);
    f.file().setAuthor(QStringLiteral("Manager"));
    openDatabase(EmployeeMdb).setAuthor(QStringLiteral("Manager"));
    f.setNow(QStringLiteral("2026-03-10 12:00:00"));
    QCOMPARE(
        exportPeriod(f.file(), firstWeekOfMarch(), f.clock.current, folder, QLocale::c()).result,
        WriteOutcome::Result::Written);
    f.setNow(QStringLiteral("2026-03-11 09:00:00"));
}

void correctFirstStamp(DataFixture &)
{
    Cursor cursor;
    cursor.setRecordSource(QStringLiteral("Ann"));
    cursor.refresh();
    cursor.moveFirst();
    cursor.writeTyped({{QStringLiteral("datetime"), QStringLiteral("2026-03-02 07:00:00")}});
}

// As a program that opens the data with its own engine would: no history entry.
void foreignUpdate(DataFixture &f)
{
    Statement(f.file(), QStringLiteral("UPDATE ") + f.file().quotedTable(QStringLiteral("Ann")) +
                            QStringLiteral(" SET \"datetime\" = ?1 WHERE rowid = 1"))
        .bind(1, QStringLiteral("2026-03-02 06:00:00"))
        .run();
}

// Another program clocks Bob in, at the stamp given.
void foreignClockIn(DataFixture &f, const QString &when)
{
    Statement(f.file(), QStringLiteral("INSERT INTO ") +
                            f.file().quotedTable(QStringLiteral("Bob")) +
                            QStringLiteral(" (\"Ename\", \"datetime\", inoutfx) VALUES "
                                           "('Bob', ?1, 'Clocked In')"))
        .bind(1, when)
        .run();
}

void removeEntries(DataFixture &f, const QString &kind)
{
    const QString history = f.file().quotedTable(HistoryTable);
    // The server refuses it to the clocks' account; the table's owner can lift that.
    if (onServer())
        f.file().exec(QStringLiteral("ALTER TABLE ") + history +
                      QStringLiteral(" DISABLE TRIGGER \"entries stay\""));
    Statement(f.file(),
              QStringLiteral("DELETE FROM ") + history + QStringLiteral(" WHERE kind = ?1"))
        .bind(1, kind)
        .run();
}

// Whether the export is in the history, then each employee's state and how many changes
// the history tells of the log since.
QStringList told(const ExportComparison &compared)
{
    QStringList lines{compared.failure, compared.inHistory ? QStringLiteral("recorded")
                                                           : QStringLiteral("not recorded")};
    for (const EmployeeSinceExport &employee : compared.employees)
        lines << employee.employee + QLatin1Char(' ') + QString::number(int(employee.state)) +
                     QLatin1Char(' ') + QString::number(employee.changes.size());
    return lines;
}

const QString Unchanged = QString::number(int(SinceExport::Unchanged));
const QString InHoralink = QString::number(int(SinceExport::ChangedInHoralink));
const QString Outside = QString::number(int(SinceExport::ChangedOutside));

} // namespace

Q_DECLARE_METATYPE(Change)

namespace {

// Cy was still clocked in when the week was exported, and clocks out the next morning.
void exportedWithAnOpenShift(DataFixture &f, const QString &folder)
{
    f.company();
    f.employee(QStringLiteral("Cy"));
    f.event(QStringLiteral("Cy"), QStringLiteral("2026-03-07 20:00:00"), ClockedIn);
    f.file().setAuthor(QStringLiteral("Manager"));
    f.setNow(QStringLiteral("2026-03-07 23:00:00"));
    QCOMPARE(
        exportPeriod(f.file(), firstWeekOfMarch(), f.clock.current, folder, QLocale::c()).result,
        WriteOutcome::Result::Written);
    f.event(QStringLiteral("Cy"), QStringLiteral("2026-03-08 04:00:00"), ClockedOut);
}

} // namespace

class ExportCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void eachEmployeeIsToldHowTheExportedEventsFared_data();
    void eachEmployeeIsToldHowTheExportedEventsFared();
    void aBackupIsCheckedAsTheDatabaseIs();
    void aFolderWithoutDigestsIsRefused();
    void aShiftOpenAtTheExportAndClosedSinceIsAChangeInHoralink();
};

void ExportCheckTest::eachEmployeeIsToldHowTheExportedEventsFared_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QStringList>("told");
    const auto ann = [](const QString &state, int changes) {
        return QStringLiteral("Ann ") + state + QLatin1Char(' ') + QString::number(changes);
    };
    const QString bob = QStringLiteral("Bob ") + Unchanged + QStringLiteral(" 0");
    const QString recorded = QStringLiteral("recorded");
    // Listed first, with a log of no events.
    const QString manager = QStringLiteral("Manager ") + Unchanged + QStringLiteral(" 0");
    QTest::newRow("nothing") << Change([](DataFixture &) {})
                             << QStringList{{}, recorded, manager, ann(Unchanged, 0), bob};
    QTest::newRow("clocked in after the export") << Change([](DataFixture &f) {
        f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-11 09:00:00"), ClockedIn);
    }) << QStringList{{}, recorded, manager, ann(Unchanged, 0), bob};
    QTest::newRow("corrected in Horalink")
        << Change(correctFirstStamp) << QStringList{{}, recorded, manager, ann(InHoralink, 1), bob};
    // The file gives the next row the number of the one removed.
    QTest::newRow("deleted last, then clocked in") << Change([](DataFixture &f) {
        QVERIFY(deleteLastEvent(f.file(), QStringLiteral("Ann")));
        f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-11 09:00:00"), ClockedIn);
    }) << QStringList{{}, recorded, manager, ann(InHoralink, 1), bob};
    QTest::newRow("log cleared") << Change([](DataFixture &f) {
        clearTimeLog(f.file(), QStringLiteral("Ann"));
    }) << QStringList{{}, recorded, manager, ann(InHoralink, 4), bob};
    QTest::newRow("employee deleted")
        << Change([](DataFixture &f) { deleteEmployee(f.file(), QStringLiteral("Bob")); })
        << QStringList{{},
                       recorded,
                       manager,
                       ann(Unchanged, 0),
                       QStringLiteral("Bob ") + InHoralink + QStringLiteral(" 2")};
    QTest::newRow("stamp changed by another program")
        << Change(foreignUpdate) << QStringList{{}, recorded, manager, ann(Outside, 0), bob};
    QTest::newRow("an event added by another program")
        << Change([](DataFixture &f) { foreignClockIn(f, QStringLiteral("2026-03-04 09:00:00")); })
        << QStringList{{},
                       recorded,
                       manager,
                       ann(Unchanged, 0),
                       QStringLiteral("Bob ") + Outside + QStringLiteral(" 0")};
    // After the period but before the export's moment: not clocked since, and still outside
    // the period.
    QTest::newRow("an event after the period added by another program")
        << Change([](DataFixture &f) { foreignClockIn(f, QStringLiteral("2026-03-09 09:00:00")); })
        << QStringList{{}, recorded, manager, ann(Unchanged, 0), bob};
    // The entry tells the correction, not what came after it.
    QTest::newRow("corrected, then changed by another program") << Change([](DataFixture &f) {
        correctFirstStamp(f);
        foreignUpdate(f);
    }) << QStringList{{}, recorded, manager, ann(Outside, 1), bob};
    QTest::newRow("corrected, and its entry removed") << Change([](DataFixture &f) {
        correctFirstStamp(f);
        removeEntries(f, QStringLiteral("stamp corrected"));
    }) << QStringList{{}, recorded, manager, ann(Outside, 0), bob};
    // Without it, the entries written since the export's moment still tell the correction.
    QTest::newRow("the export's entry removed") << Change([](DataFixture &f) {
        correctFirstStamp(f);
        removeEntries(f, QStringLiteral("exported"));
    }) << QStringList{{}, QStringLiteral("not recorded"), manager, ann(InHoralink, 1), bob};
}

void ExportCheckTest::eachEmployeeIsToldHowTheExportedEventsFared()
{
    QFETCH(Change, change);
    QFETCH(QStringList, told);
    DataFixture f;
    QTemporaryDir folder;
    exported(f, folder.path());
    change(f);
    QCOMPARE(::told(compareWithExport(f.file(), folder.path())), told);
}

void ExportCheckTest::aShiftOpenAtTheExportAndClosedSinceIsAChangeInHoralink()
{
    DataFixture f;
    QTemporaryDir folder;
    exportedWithAnOpenShift(f, folder.path());
    QCOMPARE(::told(compareWithExport(f.file(), folder.path())),
             QStringList({{},
                          QStringLiteral("recorded"),
                          QStringLiteral("Manager ") + Unchanged + QStringLiteral(" 0"),
                          QStringLiteral("Cy ") + InHoralink + QStringLiteral(" 0")}));
}

void ExportCheckTest::aBackupIsCheckedAsTheDatabaseIs()
{
    DataFixture f;
    QTemporaryDir folder;
    exported(f, folder.path());
    correctFirstStamp(f);
    const WriteOutcome backup = backupDatabase(f.file(), folder.path(), f.clock.current);
    QCOMPARE(backup.result, WriteOutcome::Result::Written);
    foreignUpdate(f);
    const auto copy = SqliteConnection::openExisting(backup.files.value(0));
    QCOMPARE(::told(compareWithExport(*copy, folder.path())),
             QStringList({{},
                          "recorded",
                          "Manager " + Unchanged + " 0",
                          "Ann " + InHoralink + " 1",
                          "Bob " + Unchanged + " 0"}));
    QCOMPARE(::told(compareWithExport(f.file(), folder.path())).value(3), "Ann " + Outside + " 1");
}

void ExportCheckTest::aFolderWithoutDigestsIsRefused()
{
    DataFixture f;
    QTemporaryDir folder;
    exported(f, folder.path());
    QFile digests(QDir(folder.path()).filePath(DigestsFile));
    QVERIFY(digests.open(QIODevice::WriteOnly | QIODevice::Truncate));
    digests.write("{}");
    digests.close();
    QVERIFY(compareWithExport(f.file(), folder.path())
                .failure.endsWith(QStringLiteral(" holds no digests of an export.")));
    QVERIFY(digests.remove());
    QVERIFY(compareWithExport(f.file(), folder.path())
                .failure.contains(QStringLiteral(" cannot be read: ")));
}

QTEST_MAIN(ExportCheckTest)
#include "test_exportcheck.moc"
