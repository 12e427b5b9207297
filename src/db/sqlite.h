#pragma once

#include "dberror.h"

#include <memory>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace horalink {

// How long a statement waits for another copy of the program holding the file, in
// milliseconds, before it gives up.
constexpr int BusyWaitMs = 5000;

// One open SQLite file. Writes through it run in the engine's autocommit mode unless a
// Transaction is open, so every single statement is already all or nothing.
class Connection
{
public:
    // Opens a file that must already exist; never creates one.
    static std::unique_ptr<Connection> openExisting(const QString &fileName);
    // Creates a new, empty file (used only to prepare the fresh database).
    static std::unique_ptr<Connection> createNew(const QString &fileName);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void exec(const QString &sql);
    bool tableExists(const QString &name);
    qint64 lastInsertRowId() const;
    sqlite3 *handle() const { return m_db; }
    [[noreturn]] void raise() const;

private:
    explicit Connection(sqlite3 *db) : m_db(db) {}
    sqlite3 *m_db;
};

// A prepared statement. Values are always bound, never spliced into the text.
class Statement
{
public:
    Statement(Connection &connection, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    Statement &bind(int index, const QVariant &value);
    bool step();
    void run();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QString declaredType(int column) const;
    bool isNull(int column) const;
    QVariant value(int column) const;
    qint64 integer(int column) const;
    // The column's bytes as stored, valid until the next step: the fast path for scans.
    const char *rawText(int column, int *length) const;

private:
    Connection &m_connection;
    sqlite3_stmt *m_stmt = nullptr;
};

// Everything between begin and commit lands together or not at all.
class Transaction
{
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    void commit();

private:
    Connection &m_connection;
    bool m_open = true;
};

// Quotes a table or field name for SQL text; names may hold quotes, blanks, dots or
// brackets. A name SQLite cannot carry (an empty one, or one holding a NUL) is refused.
QString quoteIdentifier(const QString &name);

} // namespace horalink
