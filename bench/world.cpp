#include "world.h"
#include "support/children.h"

#include "db/postgres.h"
#include "db/sqlite.h"
#include "db/transfer.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QPushButton>

namespace horalink::bench {

QString benchServer()
{
    return qEnvironmentVariable("HORALINK_BENCH_SERVER");
}

World::World(int events, bool onServer, const QString &route)
{
    QDir::setCurrent(m_dir.path());
    createFreshDatabase(m_dir.filePath(EmployeeMdb));
    std::unique_ptr<Connection> data;
    if (onServer) {
        m_schema = QStringLiteral("bench_") + QString::number(QCoreApplication::applicationPid());
        PgConnection::open(benchServer())
            ->exec(QStringLiteral("DROP SCHEMA IF EXISTS ") + m_schema +
                   QStringLiteral(" CASCADE; CREATE SCHEMA ") + m_schema);
        const QString searchPath =
            QStringLiteral(" options='-csearch_path=") + m_schema + QLatin1Char('\'');
        m_connectionString = benchServer() + searchPath;
        m_programConnectionString = route + searchPath;
        auto server = PgConnection::open(m_connectionString);
        initServerDatabase(*server);
        data = std::move(server);
        qputenv(ServerVariable, m_programConnectionString.toUtf8());
    } else {
        data = SqliteConnection::openExisting(m_dir.filePath(EmployeeMdb));
    }
    fill(*data, events);
    // The clock-in and clock-out act for the signed-on user.
    frmlogon &logon = forms().frmlogon();
    child<QComboBox>(logon, "namechoice")->setEditText(Employee);
    child<QPushButton>(logon, "Command1")->click();
}

World::~World()
{
    forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    closeDatabases();
    QDir::setCurrent(QDir::tempPath());
    if (!m_schema.isEmpty()) {
        qunsetenv(ServerVariable);
        PgConnection::open(benchServer())
            ->exec(QStringLiteral("DROP SCHEMA ") + m_schema + QStringLiteral(" CASCADE"));
    }
}

frmmain &World::main()
{
    return forms().frmmain();
}

void World::trimTo(qint64 rows)
{
    Statement trim(openDatabase(EmployeeMdb),
                   QStringLiteral("DELETE FROM \"Ann\" WHERE rowid > ?1"));
    trim.bind(1, rows).run();
}

void World::fill(Connection &data, int events)
{
    Transaction transaction(data);
    data.exec(QStringLiteral("INSERT INTO \"Company Data\" (company, subs) VALUES ('Acme', 1)"));
    data.exec(QStringLiteral("INSERT INTO datalist (ename, ewage) VALUES ('Ann', '12.5')"));
    data.createTimeLog(Employee);
    Statement insert(data, QStringLiteral("INSERT INTO \"Ann\" (\"Ename\", \"datetime\", "
                                          "inoutfx, activity) VALUES ('Ann', ?1, ?2, ?3)"));
    QDateTime when(QDate(2020, 1, 1), QTime(8, 0), Qt::UTC);
    for (int i = 0; i < events; ++i) {
        const bool in = i % 2 == 0;
        insert.bind(1, when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
            .bind(2, in ? QStringLiteral("Clocked In") : QStringLiteral("Clocked Out"))
            .bind(3, in ? QVariant(QStringLiteral("assembly")) : QVariant());
        insert.run();
        insert.reset();
        when = when.addSecs(in ? 8 * 3600 + 17 * 60 : 16 * 3600 - 17 * 60);
    }
    transaction.commit();
}

} // namespace horalink::bench
