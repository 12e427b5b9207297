#pragma once

#include "db/connection.h"

struct sqlite3;

namespace horalink {

// How long a statement waits for another copy of the program holding the file, in
// milliseconds, before it gives up.
constexpr int BusyWaitMs = 5000;

// The file Employee.mdb, through the SQLite engine. Writes run in the engine's autocommit
// mode unless a transaction is open, so every single statement is already all or nothing.
class SqliteConnection : public Connection
{
public:
    // Opens a file that must already exist; never creates one.
    static std::unique_ptr<SqliteConnection> openExisting(const QString &fileName);
    // Opens the empty temporary file of a NewFile that a copy is written into. Only this
    // program has touched it; a link put at its name meanwhile is refused, never followed.
    static std::unique_ptr<SqliteConnection> openNewFile(const QString &temporaryName);
    // Creates a new, empty file (used only to prepare the fresh database).
    static std::unique_ptr<SqliteConnection> createNew(const QString &fileName);
    ~SqliteConnection() override;

    std::unique_ptr<StatementBackend> prepare(const QString &sql) override;
    void exec(const QString &sql) override;
    void begin(const QString &lockedTable, Writes writes) override;
    void commit() override;
    void rollback() noexcept override;
    QString schema() const override;
    bool tableExists(const QString &name) override;
    QStringList tableNames() override;
    QStringList columnNames(const QString &table) override;
    bool sameTable(const QString &first, const QString &second) const override;
    void createTimeLog(const QString &name) override;
    void createEmployeeTables() override;
    void createHistory() override;
    qint64 changes() override;
    qint64 totalChanges() override;
    QString location() const override;

    // The engine's own handle, for what only SQLite offers (its online backup).
    sqlite3 *handle() const { return m_db; }
    [[noreturn]] void raise() const;

private:
    SqliteConnection(sqlite3 *db, QString fileName);
    void createTable(const QString &name, const char *columns);

    sqlite3 *m_db;
    QString m_fileName;
};

} // namespace horalink
