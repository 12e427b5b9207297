#include "sqlite.h"

#include "db/schema_sql.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace horalink {

DbError::DbError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what((QString::number(number) + QStringLiteral(": ") + m_description).toUtf8())
{}

static_assert(dberr::ReadOnly == SQLITE_READONLY);

bool refusedAsReadOnly(const DbError &error)
{
    // The extended codes of a read-only refusal all carry the primary code in their low byte.
    return (error.number() & 0xff) == dberr::ReadOnly;
}

namespace {

DbError errorOf(sqlite3 *db)
{
    return DbError(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
}

sqlite3 *openHandle(const QString &fileName, int flags)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(fileName.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const DbError error = db ? errorOf(db) : DbError(rc, QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close(db);
        throw error;
    }
    sqlite3_extended_result_codes(db, 1);
    // A second copy of the program holding the file briefly is waited for, not reported.
    sqlite3_busy_timeout(db, BusyWaitMs);
    return db;
}

class SqliteStatement : public StatementBackend
{
public:
    SqliteStatement(SqliteConnection &connection, const QString &sql) : m_connection(connection)
    {
        const QByteArray text = sql.toUtf8();
        const char *rest = nullptr;
        if (sqlite3_prepare_v2(connection.handle(), text.constData(), int(text.size()), &m_stmt,
                               &rest) != SQLITE_OK)
            connection.raise();
        // The engine stops after the first statement; anything after it but blanks and
        // comments would be a second statement that someone slipped into the text.
        sqlite3_stmt *second = nullptr;
        const int rc =
            sqlite3_prepare_v2(connection.handle(), rest,
                               int(text.constData() + text.size() - rest), &second, nullptr);
        sqlite3_finalize(second);
        if (rc != SQLITE_OK || second) {
            sqlite3_finalize(m_stmt);
            throw DbError(dberr::SyntaxError,
                          QStringLiteral("A statement may not be followed by another one."));
        }
    }
    ~SqliteStatement() override { sqlite3_finalize(m_stmt); }

    void bind(int index, const QVariant &value) override
    {
        int rc = SQLITE_OK;
        if (value.isNull()) {
            rc = sqlite3_bind_null(m_stmt, index);
        } else {
            switch (value.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::Short:
            case QMetaType::LongLong:
            case QMetaType::UInt:
                rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
                break;
            default: {
                const QByteArray text = value.toString().toUtf8();
                rc = sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()),
                                       SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            m_connection.raise();
    }

    bool step() override
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        const DbError error = errorOf(m_connection.handle());
        sqlite3_reset(m_stmt);
        throw error;
    }

    void reset() override { sqlite3_reset(m_stmt); }
    int columnCount() const override { return sqlite3_column_count(m_stmt); }
    QString columnName(int column) const override
    {
        return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
    }
    bool isDateTime(int column) const override
    {
        const char *declared = sqlite3_column_decltype(m_stmt, column);
        return declared && sqlite3_stricmp(declared, "DATETIME") == 0;
    }
    bool isNull(int column) const override
    {
        return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
    }

    QVariant value(int column) const override
    {
        switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return QVariant(qint64(sqlite3_column_int64(m_stmt, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_stmt, column));
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, column)),
                              sqlite3_column_bytes(m_stmt, column));
        default: {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
            return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
        }
        }
    }

    qint64 integer(int column) const override { return sqlite3_column_int64(m_stmt, column); }

    const char *rawText(int column, int *length) const override
    {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        *length = sqlite3_column_bytes(m_stmt, column);
        return text;
    }

private:
    SqliteConnection &m_connection;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace

SqliteConnection::SqliteConnection(sqlite3 *db, QString fileName)
    : m_db(db), m_fileName(std::move(fileName))
{}

std::unique_ptr<SqliteConnection> SqliteConnection::openExisting(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        throw DbError(dberr::FileNotFound, QStringLiteral("Could not find file '") +
                                               info.absoluteFilePath() + QStringLiteral("'."));
    if (!info.isFile())
        throw DbError(dberr::NotADatabase, QLatin1Char('\'') + info.absoluteFilePath() +
                                               QStringLiteral("' is not a database file."));

    std::unique_ptr<SqliteConnection> connection(
        new SqliteConnection(openHandle(fileName, SQLITE_OPEN_READWRITE), fileName));
    // SQLite reads the file lazily; reading its schema now tells a foreign or damaged file
    // at once, before anything is shown or written.
    char *message = nullptr;
    const int rc = sqlite3_exec(connection->m_db, "SELECT count(*) FROM \"main\".sqlite_master",
                                nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) {
        const DbError cause = errorOf(connection->m_db);
        throw DbError(cause.number(), QLatin1Char('\'') + info.absoluteFilePath() +
                                          QStringLiteral("' is not a database Horalink can "
                                                         "read (") +
                                          cause.description() + QStringLiteral(")."));
    }
    return connection;
}

std::unique_ptr<SqliteConnection> SqliteConnection::openNewFile(const QString &temporaryName)
{
    return std::unique_ptr<SqliteConnection>(new SqliteConnection(
        openHandle(temporaryName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW), temporaryName));
}

std::unique_ptr<SqliteConnection> SqliteConnection::createNew(const QString &fileName)
{
    return std::unique_ptr<SqliteConnection>(new SqliteConnection(
        openHandle(fileName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), fileName));
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close_v2(m_db);
}

std::unique_ptr<StatementBackend> SqliteConnection::prepare(const QString &sql)
{
    return std::make_unique<SqliteStatement>(*this, sql);
}

void SqliteConnection::exec(const QString &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        raise();
    }
}

void SqliteConnection::begin(const QString &, Writes)
{
    // The whole file is the unit of locking: an immediate transaction keeps every other
    // writer out, whichever table it is after.
    exec(QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteConnection::commit()
{
    exec(QStringLiteral("COMMIT"));
}

void SqliteConnection::rollback() noexcept
{
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

QString SqliteConnection::schema() const
{
    return QStringLiteral("main");
}

bool SqliteConnection::tableExists(const QString &name)
{
    Statement query(*this, QStringLiteral("SELECT 1 FROM \"main\".sqlite_master WHERE type = "
                                          "'table' AND name = ?1 COLLATE NOCASE"));
    query.bind(1, name);
    return query.step();
}

QStringList SqliteConnection::tableNames()
{
    Statement query(*this, QStringLiteral("SELECT name FROM \"main\".sqlite_master WHERE type = "
                                          "'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                                          "ORDER BY name"));
    QStringList names;
    while (query.step())
        names << query.value(0).toString();
    return names;
}

QStringList SqliteConnection::columnNames(const QString &table)
{
    if (!tableExists(table))
        return {};
    // Read off the table itself, where the engine's own stored order is no column: a table
    // named after one of its pragma functions (pragma_table_info) would answer in their place.
    Statement columns(*this, QStringLiteral("SELECT * FROM ") + quotedTable(table) +
                                 QStringLiteral(" LIMIT 0"));
    QStringList names;
    for (int i = 0; i < columns.columnCount(); ++i)
        names << columns.columnName(i);
    return names;
}

bool SqliteConnection::sameTable(const QString &first, const QString &second) const
{
    return foldedAlike(first, second);
}

void SqliteConnection::createTable(const QString &name, const char *columns)
{
    Statement create(*this, QStringLiteral("CREATE TABLE ") + quotedTable(name) +
                                QLatin1Char('\n') + QString::fromUtf8(columns));
    create.run();
}

void SqliteConnection::createTimeLog(const QString &name)
{
    createTable(name, timeLogSql);
}

void SqliteConnection::createEmployeeTables()
{
    createTable(EmployeeList, employeeListSql);
    createTable(CompanyTable, companySql);
}

void SqliteConnection::createHistory()
{
    // A file can be changed by any program that opens it; what keeps its history honest is
    // the check against an export, not the file.
    createTable(HistoryTable, historySql);
}

qint64 SqliteConnection::changes()
{
    return sqlite3_changes64(m_db);
}

qint64 SqliteConnection::totalChanges()
{
    return sqlite3_total_changes64(m_db);
}

QString SqliteConnection::location() const
{
    return QStringLiteral("Employee.mdb in ") +
           QDir::toNativeSeparators(QFileInfo(m_fileName).absolutePath());
}

void SqliteConnection::raise() const
{
    throw errorOf(m_db);
}

} // namespace horalink
