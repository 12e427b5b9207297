#include "datafixture.h"

#include "db/database.h"
#include "db/datetimetext.h"
#include "db/postgres.h"
#include "db/sqlite.h"
#include "db/transfer.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

namespace horalink {

namespace {

QString testServer()
{
    return qEnvironmentVariable("HORALINK_TEST_SERVER");
}

} // namespace

bool onServer()
{
    return !testServer().isEmpty();
}

ServerSchema::ServerSchema(Tables tables)
{
    static int made = 0;
    m_name = QStringLiteral("test_") + QString::number(QCoreApplication::applicationPid()) +
             QLatin1Char('_') + QString::number(++made);
    PgConnection::open(testServer())
        ->exec(QStringLiteral("CREATE SCHEMA ") + quoteIdentifier(m_name));
    m_connectionString =
        testServer() + QStringLiteral(" options='-csearch_path=") + m_name + QLatin1Char('\'');
    if (tables == Tables::Fresh)
        initServerDatabase(*PgConnection::open(m_connectionString));
}

ServerSchema::~ServerSchema()
{
    try {
        PgConnection::open(testServer())
            ->exec(QStringLiteral("DROP SCHEMA ") + quoteIdentifier(m_name) +
                   QStringLiteral(" CASCADE"));
    } catch (const DbError &error) {
        // The server goes with the run; a schema left on it costs nothing but is told.
        qWarning("could not drop schema %s: %s", qPrintable(m_name), error.what());
    }
}

const QString ServerAccounts::ClocksPassword = QStringLiteral("clock secret");
const QString ServerAccounts::ManagerPassword = QStringLiteral("Kennwört 1");

ServerAccounts::ServerAccounts()
{
    static int made = 0;
    const QString suffix = QString::number(QCoreApplication::applicationPid()) + QLatin1Char('_') +
                           QString::number(++made);
    m_clocks = QStringLiteral("clocks_") + suffix;
    m_manager = QStringLiteral("manager_") + suffix;
    PgConnection::open(testServer())
        ->exec(QStringLiteral("CREATE ROLE ") + m_clocks + QStringLiteral(" LOGIN PASSWORD '") +
               ClocksPassword + QStringLiteral("'; CREATE ROLE ") + m_manager +
               QStringLiteral(" LOGIN PASSWORD '") + ManagerPassword + QLatin1Char('\''));
}

ServerAccounts::~ServerAccounts()
{
    closeDatabases();
    try {
        PgConnection::open(testServer())
            ->exec(QStringLiteral("DROP OWNED BY ") + m_clocks + QStringLiteral(", ") + m_manager +
                   QStringLiteral(" CASCADE; DROP ROLE ") + m_clocks + QStringLiteral(", ") +
                   m_manager);
    } catch (const DbError &error) {
        qWarning("could not drop the accounts: %s", error.what());
    }
}

QStringList ServerAccounts::options() const
{
    return {QStringLiteral("--clocks"), m_clocks, QStringLiteral("--manager"), m_manager};
}

QString ServerAccounts::asClocks(const QString &connectionString) const
{
    return QString(connectionString)
        .replace(QStringLiteral("user=horalink"), QStringLiteral("user=") + m_clocks +
                                                      QStringLiteral(" password='") +
                                                      ClocksPassword + QLatin1Char('\''));
}

DataFixture::DataFixture() : m_previousFolder(QDir::currentPath()), clock(*m_clock)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    setNow(QStringLiteral("2026-03-02 17:30:10"));
    createFreshDatabase(databasePath());
    if (onServer()) {
        m_server = std::make_unique<ServerSchema>();
        qputenv(ServerVariable, m_server->connectionString().toUtf8());
    }
    QDir::setCurrent(m_dir.path());
}

DataFixture::~DataFixture()
{
    closeDatabases();
    m_file.reset();
    qunsetenv(ServerVariable);
    m_server.reset();
    QDir::setCurrent(m_previousFolder);
}

QString DataFixture::folder() const
{
    return m_dir.path();
}

QString DataFixture::databasePath() const
{
    return m_dir.filePath(QStringLiteral("Employee.mdb"));
}

Connection &DataFixture::file()
{
    if (!m_file)
        m_file = openEmployeeDatabase(databasePath());
    return *m_file;
}

void DataFixture::company(const QString &name)
{
    Statement insert(file(), QStringLiteral("INSERT INTO \"Company Data\" (company) VALUES (?)"));
    insert.bind(1, name).run();
}

void DataFixture::setFlag(const QString &column, const QVariant &value)
{
    Statement update(file(), QStringLiteral("UPDATE \"Company Data\" SET ") +
                                 quoteIdentifier(column) + QStringLiteral(" = ?"));
    update.bind(1, value).run();
}

void DataFixture::employee(const QString &name, const Listing &listing)
{
    Statement insert(file(), QStringLiteral("INSERT INTO datalist (ename, epass, ewage, ecomment) "
                                            "VALUES (?, ?, ?, '')"));
    insert.bind(1, name).bind(2, listing.password).bind(3, listing.wage).run();
    if (!file().tableExists(name))
        file().createTimeLog(name);
}

void DataFixture::setPassword(const QString &name, const QVariant &password)
{
    Statement update(file(), QStringLiteral("UPDATE datalist SET epass = ? WHERE ename = ?"));
    update.bind(1, password).bind(2, name).run();
}

void DataFixture::event(const QString &table, const Event &event)
{
    Statement insert(file(), QStringLiteral("INSERT INTO ") + file().quotedTable(table) +
                                 QStringLiteral(" (\"Ename\", \"datetime\", inoutfx, activity) "
                                                "VALUES (?, ?, ?, ?)"));
    insert.bind(1, table).bind(2, event.stamp).bind(3, event.status).bind(4, event.activity).run();
}

void DataFixture::event(const QString &table, const QString &stamp, const QString &status)
{
    event(table, {.stamp = stamp, .status = status});
}

QList<LogRow> DataFixture::log(const QString &table)
{
    Statement rows(file(),
                   QStringLiteral("SELECT \"Ename\", \"datetime\", inoutfx, activity FROM ") +
                       file().quotedTable(table) + QStringLiteral(" ORDER BY rowid"));
    QList<LogRow> out;
    while (rows.step())
        out << LogRow{rows.value(0), rows.value(1), rows.value(2), rows.value(3)};
    return out;
}

QStringList DataFixture::statuses(const QString &table)
{
    QStringList out;
    for (const LogRow &row : log(table))
        out << row.inoutfx.toString();
    return out;
}

QStringList DataFixture::stamps(const QString &table)
{
    QStringList out;
    for (const LogRow &row : log(table))
        out << row.datetime.toString();
    return out;
}

QVariant DataFixture::value(const QString &sql)
{
    Statement query(file(), sql);
    return query.step() ? query.value(0) : QVariant();
}

void DataFixture::refuseDeletion(const QString &table, const QString &condition,
                                 const QString &message)
{
    const QString quotedMessage = QLatin1Char('\'') + message + QLatin1Char('\'');
    if (!onServer()) {
        file().exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON ") +
                    quoteIdentifier(table) + QStringLiteral(" WHEN ") + condition +
                    QStringLiteral(" BEGIN SELECT RAISE(ABORT, ") + quotedMessage +
                    QStringLiteral("); END"));
        return;
    }
    file().exec(QStringLiteral("CREATE FUNCTION keep() RETURNS trigger LANGUAGE plpgsql AS $$ "
                               "BEGIN IF ") +
                condition + QStringLiteral(" THEN RAISE EXCEPTION ") + quotedMessage +
                QStringLiteral("; END IF; RETURN old; END $$; CREATE TRIGGER keep BEFORE DELETE "
                               "ON ") +
                quoteIdentifier(table) + QStringLiteral(" FOR EACH ROW EXECUTE FUNCTION keep()"));
}

QStringList DataFixture::texts(const QString &sql)
{
    Statement query(file(), sql);
    QStringList out;
    while (query.step())
        out << query.value(0).toString();
    return out;
}

QStringList DataFixture::schema()
{
    QStringList out;
    for (const QString &table : file().tableNames())
        out << table + QLatin1Char('(') + file().columnNames(table).join(QLatin1Char(',')) +
                   QLatin1Char(')');
    return out;
}

void DataFixture::setNow(const QString &when)
{
    clock.current = stamp(when);
}

QDateTime stamp(const QString &text)
{
    return parseStoredStamp(text);
}

} // namespace horalink
