#include "sqlite.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace horalink {

DbError::DbError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QStringLiteral("%1: %2").arg(number).arg(m_description).toUtf8())
{}

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

} // namespace

std::unique_ptr<Connection> Connection::openExisting(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        throw DbError(dberr::FileNotFound,
                      QStringLiteral("Could not find file '%1'.").arg(info.absoluteFilePath()));
    if (!info.isFile())
        throw DbError(dberr::NotADatabase,
                      QStringLiteral("'%1' is not a database file.").arg(info.absoluteFilePath()));

    std::unique_ptr<Connection> connection(
        new Connection(openHandle(fileName, SQLITE_OPEN_READWRITE)));
    // SQLite reads the file lazily; reading its schema now tells a foreign or damaged file
    // at once, before anything is shown or written.
    char *message = nullptr;
    const int rc = sqlite3_exec(connection->m_db, "SELECT count(*) FROM sqlite_master", nullptr,
                                nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) {
        const DbError cause = errorOf(connection->m_db);
        throw DbError(cause.number(),
                      QStringLiteral("'%1' is not a database Horalink can read (%2).")
                          .arg(info.absoluteFilePath(), cause.description()));
    }
    return connection;
}

std::unique_ptr<Connection> Connection::createNew(const QString &fileName)
{
    return std::unique_ptr<Connection>(
        new Connection(openHandle(fileName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)));
}

Connection::~Connection()
{
    sqlite3_close_v2(m_db);
}

void Connection::exec(const QString &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        raise();
    }
}

bool Connection::tableExists(const QString &name)
{
    Statement query(*this, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' "
                                          "AND name = ?1 COLLATE NOCASE"));
    query.bind(1, name);
    return query.step();
}

qint64 Connection::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

void Connection::raise() const
{
    throw errorOf(m_db);
}

Statement::Statement(Connection &connection, const QString &sql) : m_connection(connection)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(connection.handle(), text.constData(), int(text.size()), &m_stmt,
                           nullptr) != SQLITE_OK)
        connection.raise();
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement &Statement::bind(int index, const QVariant &value)
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
    return *this;
}

bool Statement::step()
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

void Statement::run()
{
    while (step()) {
    }
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QString Statement::declaredType(int column) const
{
    return QString::fromUtf8(sqlite3_column_decltype(m_stmt, column));
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QVariant Statement::value(int column) const
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

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

const char *Statement::rawText(int column, int *length) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    *length = sqlite3_column_bytes(m_stmt, column);
    return text;
}

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    m_connection.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (m_open)
        sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_connection.exec(QStringLiteral("COMMIT"));
    m_open = false;
}

QString quoteIdentifier(const QString &name)
{
    // SQLite makes a table of no name but cannot drop it again.
    if (name.isEmpty())
        throw DbError(dberr::BadTableName, QStringLiteral("A table or field needs a name."));
    if (name.contains(QChar(0)))
        throw DbError(
            dberr::BadTableName,
            QStringLiteral("'%1' is not a valid name.").arg(QString(name).remove(QChar(0))));
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

} // namespace horalink
