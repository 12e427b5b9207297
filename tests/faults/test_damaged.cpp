#include "db/database.h"
#include "support/fixture.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/program.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

using namespace horalink;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A working file with a company, Ann and a few of her events.
QByteArray goodFile(Fixture &f)
{
    f.company();
    f.employee(QStringLiteral("Ann"), {.wage = QStringLiteral("10")});
    for (int day = 1; day <= 20; ++day) {
        const QString date = QStringLiteral("2026-02-%1 ").arg(day, 2, 10, QLatin1Char('0'));
        f.event(QStringLiteral("Ann"), {.stamp = date + QStringLiteral("08:00:00"),
                                        .status = QStringLiteral("Clocked In"),
                                        .activity = QStringLiteral(" ")});
        f.event(QStringLiteral("Ann"), date + QStringLiteral("16:30:00"),
                QStringLiteral("Clocked Out"));
    }
    closeDatabases();
    return readAll(f.databasePath());
}

} // namespace

class DamagedFileTest : public QObject
{
    Q_OBJECT

private slots:
    void damagedFilesAreReportedAndNeverWritten_data();
    void damagedFilesAreReportedAndNeverWritten();
    void aFolderNamedLikeTheFileIsReported();
    void aReadOnlyFileIsRefusedAtTheFirstWrite();
    void aListedEmployeeWithoutTimeLogIsReported();
    void aFixedTableMissingAColumnIsReported();
};

void DamagedFileTest::damagedFilesAreReportedAndNeverWritten_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("at");
    QTest::newRow("empty") << "truncate" << 0;
    QTest::newRow("truncated in the header") << "truncate" << 50;
    QTest::newRow("truncated after the first page") << "truncate" << 4096;
    QTest::newRow("truncated in half") << "truncate" << -2;
    QTest::newRow("last byte gone") << "truncate" << -1;
    QTest::newRow("header flipped") << "flip" << 0;
    QTest::newRow("page size flipped") << "flip" << 16;
    QTest::newRow("schema page flipped") << "flip" << 200;
    QTest::newRow("data page flipped") << "flip" << -2;
    QTest::newRow("text file") << "text" << 0;
}

void DamagedFileTest::damagedFilesAreReportedAndNeverWritten()
{
    QFETCH(QString, damage);
    QFETCH(int, at);
    Fixture f;
    QByteArray bytes = goodFile(f);
    const int offset = at == -1 ? int(bytes.size()) - 1 : at == -2 ? int(bytes.size()) / 2 : at;
    if (damage == QLatin1String("truncate")) {
        bytes.truncate(offset);
    } else if (damage == QLatin1String("flip")) {
        for (int i = offset; i < offset + 8 && i < bytes.size(); ++i)
            bytes[i] = char(~bytes[i]);
    } else {
        bytes = "ename;epass;ewage\nAnn;;10\n";
    }
    writeAll(f.databasePath(), bytes);

    f.startProgram();
    if (!programEnded())
        f.signOn(QStringLiteral("Ann"));
    f.processEvents();

    // Either the damage did not touch what was read, or it was said, once, and the program
    // ended; in no case was the file changed.
    qInfo("%s", programEnded() ? qPrintable(f.prompts.boxes.value(0).text.simplified())
                               : "read normally");
    if (programEnded()) {
        QCOMPARE(f.prompts.boxes.size(), 1);
        QCOMPARE(f.prompts.boxes.first().icon, Icon::Stop);
        QVERIFY(f.prompts.boxes.first().text.startsWith(QStringLiteral("Run-time error '")));
    }
    closeDatabases();
    QCOMPARE(readAll(f.databasePath()), bytes);
}

void DamagedFileTest::aFolderNamedLikeTheFileIsReported()
{
    Fixture f;
    QFile::remove(f.databasePath());
    QVERIFY(QDir(f.folder()).mkdir(QStringLiteral("Employee.mdb")));
    f.startProgram();
    QVERIFY(programEnded());
    QCOMPARE(f.prompts.boxes.size(), 1);
    QVERIFY(f.prompts.boxes.first().text.contains(QStringLiteral("not a database file")));
    QVERIFY(QFileInfo(f.databasePath()).isDir());
}

void DamagedFileTest::aReadOnlyFileIsRefusedAtTheFirstWrite()
{
    Fixture f;
    const QByteArray bytes = goodFile(f);
    QFile::setPermissions(f.databasePath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile probe(f.databasePath());
    if (probe.open(QIODevice::ReadWrite))
        QSKIP("this user may write to read-only files (root)");

    f.setFlag(QStringLiteral("subs"), 1);
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    QVERIFY(!programEnded());
    f.click(QStringLiteral("clockin"));
    QVERIFY(programEnded());
    QCOMPARE(f.prompts.boxes.size(), 1);
    QVERIFY(f.prompts.boxes.first().text.contains(QStringLiteral("readonly")));
    QCOMPARE(readAll(f.databasePath()), bytes);
}

void DamagedFileTest::aListedEmployeeWithoutTimeLogIsReported()
{
    Fixture f;
    f.company();
    f.employee(QStringLiteral("Ann"));
    f.file().exec(QStringLiteral("DROP TABLE Ann"));
    f.startProgram();
    f.signOn(QStringLiteral("Ann"));
    QVERIFY(programEnded());
    QCOMPARE(f.prompts.boxes.size(), 1);
    QVERIFY(f.prompts.boxes.first().text.contains(QStringLiteral("no such table: main.Ann")));
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM datalist")).toInt(), 2);
}

void DamagedFileTest::aFixedTableMissingAColumnIsReported()
{
    Fixture f;
    f.file().exec(QStringLiteral(
        "DROP TABLE \"Company Data\"; "
        "CREATE TABLE \"Company Data\" (company TEXT, edits SMALLINT, money SMALLINT)"));
    f.company();
    f.startProgram();
    QVERIFY(programEnded());
    QCOMPARE(f.prompts.boxes.size(), 1);
    QVERIFY(f.prompts.boxes.first().text.contains(QStringLiteral("subs")));
    QCOMPARE(f.value(QStringLiteral("SELECT count(*) FROM \"Company Data\"")).toInt(), 1);
}

QTEST_MAIN(DamagedFileTest)
#include "test_damaged.moc"
