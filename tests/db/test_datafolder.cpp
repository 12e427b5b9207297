// The data folder the program runs in: which one it is, that a folder without Employee.mdb is
// given the fresh one and that nothing of that name is ever replaced, and that the user's own
// folder and file are closed to every other account while a folder a group shares keeps what its
// administrator gave it.
#include "db/database.h"
#include "db/datafolder.h"
#include "db/dberror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace horalink;

namespace {

constexpr QFile::Permissions Group = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup;
constexpr QFile::Permissions Others = QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sets an environment variable for the test's life and puts back what was there.
class Variable
{
public:
    Variable(const char *name, const QString &value)
        : m_name(name), m_was(qgetenv(name)), m_set(qEnvironmentVariableIsSet(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toUtf8());
    }
    ~Variable()
    {
        if (m_set)
            qputenv(m_name, m_was);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_was;
    bool m_set;
};

} // namespace

class DataFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void theFolderIsTheSharedOneOrTheUsersOwn_data();
    void theFolderIsTheSharedOneOrTheUsersOwn();
    void anEmptyFolderGetsTheFreshFile_data();
    void anEmptyFolderGetsTheFreshFile();
    void nothingOfTheNameIsReplaced_data();
    void nothingOfTheNameIsReplaced();
    void theUsersOwnFolderIsTheUsersAlone();
    void aSharedFolderKeepsItsPermissions();
    void aServerNeedsNoFile();
    void aFolderThatCannotBeMadeIsReported();

private:
    QTemporaryDir m_root;
    QByteArray m_fresh;
};

void DataFolderTest::init()
{
    QVERIFY(m_root.isValid());
    if (m_fresh.isEmpty()) {
        createFreshDatabase(m_root.filePath(QStringLiteral("fresh.mdb")));
        m_fresh = contentOf(m_root.filePath(QStringLiteral("fresh.mdb")));
    }
}

void DataFolderTest::theFolderIsTheSharedOneOrTheUsersOwn_data()
{
    QTest::addColumn<QString>("shared");
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("usersOwn");
    QTest::newRow("shared") << "shared/clock"
                            << "/xdg"
                            << "shared/clock" << false;
    QTest::newRow("shared, relative") << "../clock"
                                      << "/xdg"
                                      << "clock" << false;
#ifndef Q_OS_WIN
    QTest::newRow("the user's own") << QString() << "/xdg"
                                    << "xdg/horalink" << true;
    QTest::newRow("empty names none") << ""
                                      << "/xdg"
                                      << "xdg/horalink" << true;
    // A relative one is ignored, as the base-directory rules say.
    QTest::newRow("relative data home") << QString() << "xdg"
                                        << "home/.local/share/horalink" << true;
#endif
}

void DataFolderTest::theFolderIsTheSharedOneOrTheUsersOwn()
{
    QFETCH(QString, shared);
    QFETCH(QString, dataHome);
    QFETCH(QString, expected);
    QFETCH(bool, usersOwn);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("work")));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root.filePath(QStringLiteral("work"))));
    const bool isRelative = !shared.isEmpty() && shared.startsWith(QLatin1String(".."));
    Variable data(SharedFolderVariable,
                  shared.isEmpty() || isRelative ? shared : root.filePath(shared));
    Variable xdg("XDG_DATA_HOME",
                 dataHome.startsWith(QLatin1Char('/')) ? root.path() + dataHome : dataHome);
    Variable home("HOME", root.filePath(QStringLiteral("home")));
    const DataFolder folder = dataFolder();
    QVERIFY(QDir::setCurrent(before));
    QCOMPARE(folder.path, root.filePath(expected));
    QCOMPARE(folder.usersOwn, usersOwn);
}

void DataFolderTest::anEmptyFolderGetsTheFreshFile_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("usersOwn");
    QTest::newRow("missing, the user's own") << false << true;
    QTest::newRow("empty, the user's own") << true << true;
    QTest::newRow("missing, shared") << false << false;
}

void DataFolderTest::anEmptyFolderGetsTheFreshFile()
{
    QFETCH(bool, exists);
    QFETCH(bool, usersOwn);
    QTemporaryDir root;
    const QString path = root.filePath(QStringLiteral("nested/Horalink"));
    if (exists)
        QVERIFY(QDir().mkpath(path));
    prepareDataFolder({path, usersOwn});
    QCOMPARE(contentOf(QDir(path).filePath(EmployeeMdb)), m_fresh);
    QCOMPARE(QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({EmployeeMdb}));
    // A second start finds it and leaves it.
    prepareDataFolder({path, usersOwn});
    QCOMPARE(contentOf(QDir(path).filePath(EmployeeMdb)), m_fresh);
}

void DataFolderTest::nothingOfTheNameIsReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a file") << "file";
    QTest::newRow("a folder") << "folder";
#ifndef Q_OS_WIN
    QTest::newRow("a link") << "link";
    QTest::newRow("a dangling link") << "dangling";
#endif
}

void DataFolderTest::nothingOfTheNameIsReplaced()
{
    QFETCH(QString, kind);
    QTemporaryDir root;
    const QString path = root.filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(path));
    const QString database = QDir(path).filePath(EmployeeMdb);
    const QString target = root.filePath(QStringLiteral("target"));
    const QByteArray text("name,wage\nAnn,10\n");
    QFile file(kind == QLatin1String("file") ? database + QStringLiteral(".tmp") : target);
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(path).mkdir(EmployeeMdb));
    } else if (kind == QLatin1String("file")) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        QVERIFY(file.rename(database));
    } else {
        if (kind == QLatin1String("link")) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
            file.close();
        }
        QVERIFY(QFile::link(file.fileName(), database));
    }

    prepareDataFolder({path, true});
    QCOMPARE(QFileInfo(database).isDir(), kind == QLatin1String("folder"));
    QCOMPARE(QFileInfo(database).isSymLink(),
             kind == QLatin1String("link") || kind == QLatin1String("dangling"));
    if (kind == QLatin1String("dangling"))
        QVERIFY(!QFileInfo::exists(target));
    else if (kind != QLatin1String("folder"))
        QCOMPARE(contentOf(database), text);
    // A dangling link is listed among the system's entries.
    QCOMPARE(
        QDir(path).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList({EmployeeMdb}));
}

// A folder and file an earlier version left open to every account are closed as well.
void DataFolderTest::theUsersOwnFolderIsTheUsersAlone()
{
#ifdef Q_OS_WIN
    QSKIP("On Windows the user's data location is the user's alone by its access list");
#else
    for (const bool earlier : {false, true}) {
        QTemporaryDir root;
        const QString path = root.filePath(QStringLiteral("horalink"));
        if (earlier) {
            QVERIFY(QDir().mkpath(path));
            QVERIFY(QFile::copy(m_root.filePath(QStringLiteral("fresh.mdb")),
                                QDir(path).filePath(EmployeeMdb)));
            QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | Group | Others));
            QVERIFY(QFile::setPermissions(QDir(path).filePath(EmployeeMdb),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther));
        }
        prepareDataFolder({path, true});
        QCOMPARE(QFile::permissions(path) & (Group | Others), QFile::Permissions());
        QCOMPARE(QFile::permissions(QDir(path).filePath(EmployeeMdb)) & (Group | Others),
                 QFile::Permissions());
        QVERIFY(QFileInfo(QDir(path).filePath(EmployeeMdb)).isWritable());
    }
#endif
}

// The README's recipe for a group gives the folder to the group; the fresh file that the
// program puts there is the group's to write as well.
void DataFolderTest::aSharedFolderKeepsItsPermissions()
{
#ifdef Q_OS_WIN
    QSKIP("Windows gives a shared folder's permissions by its access list");
#else
    QTemporaryDir root;
    const QString path = root.filePath(QStringLiteral("clock"));
    QVERIFY(QDir().mkpath(path));
    const QFile::Permissions groupFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadUser | QFile::WriteUser | QFile::ExeUser |
                                           Group;
    QVERIFY(QFile::setPermissions(path, groupFolder));
    prepareDataFolder({path, false});
    QCOMPARE(QFile::permissions(path), groupFolder);
    QCOMPARE(QFile::permissions(QDir(path).filePath(EmployeeMdb)) & (Group | Others),
             QFile::ReadGroup | QFile::WriteGroup);
#endif
}

void DataFolderTest::aServerNeedsNoFile()
{
    QTemporaryDir root;
    const QString path = root.filePath(QStringLiteral("horalink"));
    Variable server(ServerVariable, QStringLiteral("host=nowhere dbname=horalink"));
    prepareDataFolder({path, true});
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(!QFileInfo::exists(QDir(path).filePath(EmployeeMdb)));
}

void DataFolderTest::aFolderThatCannotBeMadeIsReported()
{
    QTemporaryDir root;
    QFile blocking(root.filePath(QStringLiteral("file")));
    QVERIFY(blocking.open(QIODevice::WriteOnly));
    blocking.close();
    const QString path = root.filePath(QStringLiteral("file/horalink"));
    try {
        prepareDataFolder({path, true});
        QFAIL("a folder inside a file was reported made");
    } catch (const DbError &error) {
        const QString file = QDir::toNativeSeparators(root.filePath(QStringLiteral("file")));
        QVERIFY2(error.description().contains(file), qPrintable(error.description()));
    }
}

QTEST_GUILESS_MAIN(DataFolderTest)
#include "test_datafolder.moc"
