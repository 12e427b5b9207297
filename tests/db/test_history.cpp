#include "clock/clocking.h"
#include "clock/session.h"
#include "db/cursor.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "db/employees.h"
#include "db/history.h"
#include "db/postgres.h"
#include "db/settings.h"
#include "db/sqlite.h"
#include "db/timelog.h"
#include "db/timelogmodel.h"
#include "db/transfer.h"
#include "support/fixture.h"
#include "ui/frmmain.h"

#include <functional>
#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>

using namespace horalink;

namespace {

// One entry as a test expects it: the kind, the table, the row and the row's fields before
// and after, as JSON text (empty for none).
struct Entry
{
    QString kind;
    QString subject;
    qint64 row;
    QString before;
    QString after;
};

// Makes the change; false when it was refused without an exception, as the grid refuses.
using Change = std::function<bool(Fixture &)>;

const QString AnnIn = QStringLiteral(
    R"({"Ename":"Ann","datetime":"2026-03-02 22:00:00","inoutfx":"Clocked In","activity":" "})");
const QString AnnOut = QStringLiteral(
    R"({"Ename":"Ann","datetime":"2026-03-03 06:00:00","inoutfx":"Clocked Out","activity":null})");
const QString AnnListed =
    QStringLiteral(R"({"ename":"Ann","epass":true,"ewage":"10.25","ecomment":""})");
const QString Company = QStringLiteral(
    R"({"company":"Acme Tools","edits":null,"money":null,"subs":null,"signoff":null})");

// Ann worked a night shift over midnight; the company is named, unless the first start is
// yet to name it, and nothing is switched on.
void prepare(Fixture &f, bool named = true)
{
    if (named)
        f.company();
    f.employee(QStringLiteral("Ann"),
               {.password = QStringLiteral("sesame"), .wage = QStringLiteral("10.25")});
    f.event(QStringLiteral("Ann"), {.stamp = QStringLiteral("2026-03-02 22:00:00"),
                                    .status = ClockedIn,
                                    .activity = QStringLiteral(" ")});
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-03 06:00:00"), ClockedOut);
    f.setNow(QStringLiteral("2026-03-04 09:15:30"));
    f.file().setAuthor(QStringLiteral("Manager"));
    openDatabase(EmployeeMdb).setAuthor(QStringLiteral("Manager"));
}

bool typeIntoRow(const QString &table, const QString &field, const QString &text)
{
    Cursor cursor;
    cursor.setRecordSource(table);
    cursor.refresh();
    if (table == EmployeeList &&
        !findByName(cursor, QStringLiteral("ename"), QStringLiteral("Ann")))
        return false;
    if (table != EmployeeList)
        cursor.moveLast();
    cursor.writeTyped({{field, text}});
    return true;
}

bool editGrid(Fixture &f, int row, int column, const QString &text)
{
    TimeLogModel model(f.file(), QStringLiteral("Ann"));
    return model.setData(model.index(row, column), text, Qt::EditRole);
}

struct Case
{
    const char *name;
    Change change;
    QList<Entry> entries;
    bool named = true;
};

QString with(const QString &image, const char *field, const QJsonValue &value)
{
    QJsonObject fields = QJsonDocument::fromJson(image.toUtf8()).object();
    fields.insert(QLatin1String(field), value);
    return QString::fromUtf8(QJsonDocument(fields).toJson(QJsonDocument::Compact));
}

const QList<Case> &cases()
{
    static const QList<Case> all = {
        {"stamp corrected",
         [](Fixture &) {
             return typeIntoRow(QStringLiteral("Ann"), QStringLiteral("datetime"),
                                QStringLiteral("2026-03-03 06:30:00"));
         },
         {{"stamp corrected", "Ann", 2, AnnOut,
           with(AnnOut, "datetime", QStringLiteral("2026-03-03 06:30:00"))}}},
        {"grid edit of the status",
         [](Fixture &f) { return editGrid(f, 0, 2, ClockedOut); },
         {{"grid edit", "Ann", 1, AnnIn, with(AnnIn, "inoutfx", ClockedOut)}}},
        {"grid edit of the task",
         [](Fixture &f) { return editGrid(f, 0, 3, QStringLiteral("Stocking")); },
         {{"grid edit", "Ann", 1, AnnIn, with(AnnIn, "activity", QStringLiteral("Stocking"))}}},
        {"delete last",
         [](Fixture &f) { return deleteLastEvent(f.file(), QStringLiteral("Ann")); },
         {{"deleted last", "Ann", 2, AnnOut, {}}}},
        {"clear log",
         [](Fixture &f) {
             clearTimeLog(f.file(), QStringLiteral("Ann"));
             return true;
         },
         {{"cleared", "Ann", 1, AnnIn, {}}, {"cleared", "Ann", 2, AnnOut, {}}}},
        {"clear before a day",
         [](Fixture &f) {
             return clearEventsBefore(f.file(), QStringLiteral("Ann"),
                                      stamp(QStringLiteral("2026-03-03 06:01:00"))) == 2;
         },
         {{"cleared", "Ann", 1, AnnIn, {}}, {"cleared", "Ann", 2, AnnOut, {}}}},
        {"employee added",
         [](Fixture &f) {
             return addEmployee(f.file(), {QStringLiteral("Bob"),
                                           QStringLiteral("12"),
                                           {},
                                           QStringLiteral("nights")}) == AddOutcome::Added;
         },
         {{"employee added",
           "datalist",
           3,
           {},
           R"({"ename":"Bob","epass":false,"ewage":"12","ecomment":"nights"})"}}},
        {"employee deleted",
         [](Fixture &f) {
             deleteEmployee(f.file(), QStringLiteral("Ann"));
             return true;
         },
         {{"employee deleted", "Ann", 1, AnnIn, {}},
          {"employee deleted", "Ann", 2, AnnOut, {}},
          {"employee deleted", "datalist", 2, AnnListed, {}}}},
        {"wage changed",
         [](Fixture &) {
             return typeIntoRow(EmployeeList, QStringLiteral("ewage"), QStringLiteral("10.26"));
         },
         {{"employee changed", "datalist", 2, AnnListed,
           with(AnnListed, "ewage", QStringLiteral("10.26"))}}},
        {"note changed",
         [](Fixture &) {
             return typeIntoRow(EmployeeList, QStringLiteral("ecomment"),
                                QStringLiteral("=cmd|' /C calc'!A0"));
         },
         {{"employee changed", "datalist", 2, AnnListed,
           with(AnnListed, "ecomment", QStringLiteral("=cmd|' /C calc'!A0"))}}},
        {"password changed",
         [](Fixture &f) {
             return storePassword(f.file(), QStringLiteral("Ann"), QStringLiteral("open"));
         },
         {{"password changed", "datalist", 2, R"({"ename":"Ann","epass":true})",
           R"({"ename":"Ann","epass":true})"}}},
        {"password removed",
         [](Fixture &f) { return storePassword(f.file(), QStringLiteral("Ann"), {}); },
         {{"password changed", "datalist", 2, R"({"ename":"Ann","epass":true})",
           R"({"ename":"Ann","epass":false})"}}},
        {"switch changed",
         [](Fixture &f) {
             storeSwitch(f.file(), Switch::Edits, true);
             return true;
         },
         {{"switch changed", "Company Data", 1, Company, with(Company, "edits", 1)}}},
        {"sign-off switch changed",
         [](Fixture &f) {
             storeSwitch(f.file(), Switch::Signoff, true);
             return true;
         },
         {{"switch changed", "Company Data", 1, Company, with(Company, "signoff", 1)}}},
        {"company named at setup",
         [](Fixture &f) {
             storeCompany(f.file(), QStringLiteral("Acme Tools"));
             return true;
         },
         {{"company named", "Company Data", 1, {}, Company}},
         false},
    };
    return all;
}

QJsonObject object(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

QList<Entry> history(Fixture &f)
{
    QList<Entry> entries;
    if (!f.file().tableExists(HistoryTable))
        return entries;
    Statement rows(f.file(), QStringLiteral("SELECT kind, subject, row_id, before, after FROM ") +
                                 f.file().quotedTable(HistoryTable) +
                                 QStringLiteral(" ORDER BY rowid"));
    while (rows.step())
        entries << Entry{rows.value(0).toString(), rows.value(1).toString(), rows.integer(2),
                         rows.value(3).toString(), rows.value(4).toString()};
    return entries;
}

// Every row of every table but the history, as text: what a change that failed must leave.
QStringList contents(Fixture &f)
{
    QStringList out = f.schema();
    for (const QString &table : f.file().tableNames()) {
        if (table == HistoryTable)
            continue;
        Statement rows(f.file(), QStringLiteral("SELECT * FROM ") + f.file().quotedTable(table) +
                                     QStringLiteral(" ORDER BY rowid"));
        while (rows.step()) {
            QStringList fields;
            for (int i = 0; i < rows.columnCount(); ++i)
                fields << (rows.isNull(i) ? QStringLiteral("<null>") : rows.value(i).toString());
            out << table + QLatin1Char(':') + fields.join(QLatin1Char('|'));
        }
    }
    return out;
}

// Makes every new entry of the history fail, as a full disk or a lost connection would
// after the change itself was written.
void refuseEntries(Fixture &f)
{
    if (!f.file().tableExists(HistoryTable))
        f.file().createHistory();
    const QString history = f.file().quotedTable(HistoryTable);
    if (!onServer()) {
        f.file().exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON ") + history +
                      QStringLiteral(" BEGIN SELECT RAISE(ABORT, 'no room'); END"));
        return;
    }
    f.file().exec(QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                                 "$$ BEGIN RAISE EXCEPTION 'no room'; END $$; CREATE TRIGGER "
                                 "refuse BEFORE INSERT ON ") +
                  history + QStringLiteral(" FOR EACH ROW EXECUTE FUNCTION refuse()"));
}

void addCases()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < cases().size(); ++i)
        QTest::newRow(cases()[i].name) << i;
}

} // namespace

class HistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void everyChangeIsRecordedWithTheRowsItTouched_data() { addCases(); }
    void everyChangeIsRecordedWithTheRowsItTouched();
    void anEntryThatFailsTakesTheChangeBackWithIt_data() { addCases(); }
    void anEntryThatFailsTakesTheChangeBackWithIt();
    void anEntryTellsWhoAndWhenButNeverThePassword();
    void appendingAClockEventIsNoChange();
    void noEmployeeCanTakeTheHistorysName_data();
    void noEmployeeCanTakeTheHistorysName();
    void theServerKeepsEveryEntryAsWritten();
    void aReadOnlyOlderFileStillLetsAnEmployeeSignOn();
    void theHistoryMovesWithTheDatabase();
};

void HistoryTest::everyChangeIsRecordedWithTheRowsItTouched()
{
    QFETCH(int, index);
    Fixture f;
    prepare(f, cases()[index].named);
    QVERIFY(history(f).isEmpty());
    QVERIFY(cases()[index].change(f));
    const QList<Entry> written = history(f);
    const QList<Entry> &expected = cases()[index].entries;
    QCOMPARE(written.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(written[i].kind, expected[i].kind);
        QCOMPARE(written[i].subject, expected[i].subject);
        QCOMPARE(written[i].row, expected[i].row);
        QCOMPARE(object(written[i].before), object(expected[i].before));
        QCOMPARE(object(written[i].after), object(expected[i].after));
        QCOMPARE(written[i].before.isEmpty(), expected[i].before.isEmpty());
        QCOMPARE(written[i].after.isEmpty(), expected[i].after.isEmpty());
    }
}

void HistoryTest::anEntryThatFailsTakesTheChangeBackWithIt()
{
    QFETCH(int, index);
    Fixture f;
    prepare(f, cases()[index].named);
    refuseEntries(f);
    const QStringList before = contents(f);
    bool stored = true;
    try {
        stored = cases()[index].change(f);
    } catch (const DbError &error) {
        QVERIFY2(error.description().contains(QStringLiteral("no room")),
                 qPrintable(error.description()));
        stored = false;
    }
    QVERIFY(!stored);
    QCOMPARE(contents(f), before);
    QVERIFY(history(f).isEmpty());
}

void HistoryTest::anEntryTellsWhoAndWhenButNeverThePassword()
{
    Fixture f;
    prepare(f);
    const QString stored = f.value(QStringLiteral("SELECT epass FROM datalist WHERE ename = "
                                                  "'Ann'"))
                               .toString();
    // The account as every system names it to the program; Windows leaves USER unset.
    const QByteArray user = qgetenv("USER");
    qputenv("USER", "clerk");
    const auto restore = qScopeGuard([&user] { qputenv("USER", user); });
    f.file().setAuthor(QStringLiteral("horalink-tool"));
    QVERIFY(storePassword(f.file(), QStringLiteral("Ann"), QStringLiteral("open sesame")));
    const QString hash =
        f.value(QStringLiteral("SELECT epass FROM datalist WHERE ename = 'Ann'")).toString();
    QCOMPARE(f.texts(QStringLiteral("SELECT changed FROM \"Horalink change history\"")),
             QStringList{QStringLiteral("2026-03-04 09:15:30")});
    QCOMPARE(f.texts(QStringLiteral("SELECT who FROM \"Horalink change history\"")),
             QStringList{QStringLiteral("horalink-tool")});
    QCOMPARE(f.texts(QStringLiteral("SELECT account FROM \"Horalink change history\"")),
             QStringList{QStringLiteral("clerk")});
    const QDateTime utc = QDateTime::fromString(
        f.value(QStringLiteral("SELECT changed_utc FROM \"Horalink change history\"")).toString(),
        Qt::ISODate);
    QVERIFY(utc.isValid());
    QCOMPARE(utc.timeSpec(), Qt::UTC);
    const QString row =
        f.texts(QStringLiteral("SELECT before || after FROM \"Horalink change history\""))
            .join(QString());
    for (const QString &secret : {stored, hash, QStringLiteral("sesame")})
        QVERIFY2(!row.contains(secret), qPrintable(row));
}

void HistoryTest::appendingAClockEventIsNoChange()
{
    Fixture f;
    prepare(f);
    const Session ann{QStringLiteral("Ann"), QStringLiteral("10.25"), true};
    QCOMPARE(clockIn(f.file(), ann, QStringLiteral("Stocking"), f.clock.current),
             ClockOutcome::Stored);
    QCOMPARE(clockOut(f.file(), ann, f.clock.current.addSecs(60)), ClockOutcome::Stored);
    QVERIFY(history(f).isEmpty());
}

void HistoryTest::noEmployeeCanTakeTheHistorysName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("as it is") << HistoryTable;
    QTest::newRow("in capitals") << HistoryTable.toUpper();
    QTest::newRow("cut to twenty") << HistoryTable.left(20);
}

void HistoryTest::noEmployeeCanTakeTheHistorysName()
{
    QFETCH(QString, name);
    Fixture f;
    prepare(f);
    QVERIFY(storePassword(f.file(), QStringLiteral("Ann"), QStringLiteral("x")));
    const QList<Entry> before = history(f);
    bool added = false;
    try {
        added = addEmployee(f.file(), {name, QStringLiteral("1"), {}, {}}) == AddOutcome::Added;
    } catch (const DbError &) {
    }
    if (name.size() > 20) {
        QVERIFY(!added);
        QCOMPARE(history(f).size(), before.size());
    } else {
        // A name that fits is an ordinary employee with a log of its own.
        QVERIFY(added);
        QVERIFY(hasTimeLog(f.file(), name));
    }
    QVERIFY(f.file().tableExists(HistoryTable));
    QVERIFY(!hasTimeLog(f.file(), HistoryTable));
}

void HistoryTest::theServerKeepsEveryEntryAsWritten()
{
    if (!onServer())
        QSKIP("A file can be changed by any program that opens it.");
    Fixture f;
    prepare(f);
    QVERIFY(deleteLastEvent(f.file(), QStringLiteral("Ann")));
    const QString history = f.file().quotedTable(HistoryTable);
    for (const QString &sql :
         {QStringLiteral("UPDATE ") + history + QStringLiteral(" SET who = 'Bob'"),
          QStringLiteral("DELETE FROM ") + history, QStringLiteral("TRUNCATE ") + history}) {
        QVERIFY_THROWS_EXCEPTION(DbError, f.file().exec(sql));
    }
    QCOMPARE(f.texts(QStringLiteral("SELECT who FROM \"Horalink change history\"")),
             QStringList{QStringLiteral("Manager")});
}

void HistoryTest::aReadOnlyOlderFileStillLetsAnEmployeeSignOn()
{
    if (onServer())
        QSKIP("The file itself is the subject.");
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.event(QStringLiteral("Ann"), QStringLiteral("2026-03-02 22:00:00"), ClockedIn);
    const auto digest = [&] {
        QFile file(f.databasePath());
        return file.open(QIODevice::ReadOnly)
                   ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                   : QByteArray();
    };
    const QByteArray before = digest();
    QVERIFY(QFile::setPermissions(f.databasePath(), QFile::ReadOwner));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    QCOMPARE(child<QLabel>(f.main(), "nameemp")->text(), QStringLiteral("Ann"));
    QVERIFY(!f.file().tableExists(HistoryTable));
    QCOMPARE(digest(), before);
    QFile::setPermissions(f.databasePath(), QFile::ReadOwner | QFile::WriteOwner);
}

void HistoryTest::theHistoryMovesWithTheDatabase()
{
    if (!onServer())
        QSKIP("Needs the private database server.");
    Fixture f;
    const QString path = f.folder() + QStringLiteral("/older.mdb");
    writeFreshDatabase(path);
    const auto file = SqliteConnection::openExisting(path);
    file->setAuthor(QStringLiteral("Manager"));
    storeCompany(*file, QStringLiteral("Acme Tools"));
    storeSwitch(*file, Switch::Money, true);
    const auto lines = [](Connection &connection) {
        QStringList out;
        for (const HistoryEntry &entry : readHistory(connection))
            out << entry.who + QLatin1Char('|') + entry.kind + QLatin1Char('|') + entry.subject +
                       QLatin1Char('|') + storedStamp(entry.changed) + QLatin1Char('|') +
                       entry.changedUtc.toString(Qt::ISODate);
        return out;
    };
    const QStringList written = lines(*file);
    QCOMPARE(written.size(), 2);

    ServerSchema empty(ServerSchema::Tables::None);
    const auto server = PgConnection::open(empty.connectionString());
    copyFileToServer(*file, *server);
    QCOMPARE(lines(*server), written);
    QVERIFY_THROWS_EXCEPTION(
        DbError, server->exec(QStringLiteral("DELETE FROM ") + server->quotedTable(HistoryTable)));
    const QString dumped = f.folder() + QStringLiteral("/dumped.mdb");
    QVERIFY(copyServerToFile(*server, dumped));
    QCOMPARE(lines(*SqliteConnection::openExisting(dumped)), written);
}

QTEST_MAIN(HistoryTest)
#include "test_history.moc"
