#pragma once

#include "db/dberror.h"

#include <memory>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace horalink {

// The two tables every employee database holds beside the time logs.
inline const QString EmployeeList = QStringLiteral("datalist");
inline const QString CompanyTable = QStringLiteral("Company Data");
// The change history: longer than the 20 characters an employee's name holds, so that no
// employee's time log can ever take its name.
inline const QString HistoryTable = QStringLiteral("Horalink change history");

enum class Writes
{
    Immediate,
    Batched
};

// One prepared statement of a database engine; Statement is how the program uses it.
class StatementBackend
{
public:
    virtual ~StatementBackend() = default;
    virtual void bind(int index, const QVariant &value) = 0;
    virtual bool step() = 0;
    virtual void reset() = 0;
    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // Whether the column holds dates and times, as the time logs' "datetime" does.
    virtual bool isDateTime(int column) const = 0;
    virtual bool isNull(int column) const = 0;
    virtual QVariant value(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    // The column's text as stored, valid until the next step: the fast path for scans. A date
    // and time comes as 'YYYY-MM-DD HH:MM:SS'.
    virtual const char *rawText(int column, int *length) const = 0;
};

// The database that holds the employee list, the company settings and the time logs: the
// file Employee.mdb, or a database server shared by several time clocks. Everything above the
// database layer speaks to it through this interface and the statements it prepares, in SQL
// that both engines read alike: tables keep their stored order in a column named rowid, values
// are bound with ?N, and every table is named by quotedTable.
class Connection
{
public:
    virtual ~Connection() = default;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Exactly one statement; text that holds a second one is refused.
    virtual std::unique_ptr<StatementBackend> prepare(const QString &sql) = 0;
    // Runs fixed statement text, possibly several statements. Text that holds input (a name,
    // a value) never goes through here: it is one Statement, with its values bound.
    virtual void exec(const QString &sql) = 0;

    // Begins a transaction that writes. With a table named, every other writer of that table
    // waits until this one ends, so that a check of its last row and the append that follows
    // are one step for every time clock.
    // With writes batched, a server may send the transaction's statements that give no rows
    // with the next that needs an answer, the commit at the latest: their failure is told
    // there, and the transaction lands whole or not at all as ever.
    virtual void begin(const QString &lockedTable = {}, Writes writes = Writes::Immediate) = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;

    // The schema that holds the employee database: the file's "main"; on a server, the one the
    // session was set up in.
    virtual QString schema() const = 0;
    // A table of the employee database as statements name it, quoted and qualified with its
    // schema: unqualified, a server looks in its own catalog first (an employee "pg_class"
    // would reach the real one), and the file in its temporary tables.
    QString quotedTable(const QString &name) const;

    virtual bool tableExists(const QString &name) = 0;
    // Every table of the employee database, in the order of their names.
    virtual QStringList tableNames() = 0;
    // A table's columns in their order, without the column that keeps the stored order.
    virtual QStringList columnNames(const QString &table) = 0;
    // Whether two names reach one table: the file matches them as foldedAlike does; a server
    // matches them exactly.
    virtual bool sameTable(const QString &first, const QString &second) const = 0;
    // Creates an empty time log of the four fields, each refusing what does not fit it.
    virtual void createTimeLog(const QString &name) = 0;
    // Creates the employee list and the company table, without rows.
    virtual void createEmployeeTables() = 0;
    // Creates the empty change history; on a server its rows then can be added, never changed
    // or removed.
    virtual void createHistory() = 0;

    // Who the change history names for the changes made through this connection: the
    // signed-on user, or the tool.
    void setAuthor(const QString &author) { m_author = author; }
    const QString &author() const { return m_author; }

    // Rows changed by the last statement, and by every statement since the connection opened.
    virtual qint64 changes() = 0;
    virtual qint64 totalChanges() = 0;

    // A user's action begins, named by the control that started it: what a server connection
    // read ahead for the last one is let go.
    virtual void actionBegins(const QString &action) { Q_UNUSED(action) }

    // Where the data is, as the About page tells it.
    virtual QString location() const = 0;

protected:
    Connection() = default;

private:
    QString m_author;
};

// A prepared statement. Values are always bound, never spliced into the text.
class Statement
{
public:
    Statement(Connection &connection, const QString &sql) : m_backend(connection.prepare(sql)) {}

    Statement &bind(int index, const QVariant &value)
    {
        m_backend->bind(index, value);
        return *this;
    }
    bool step() { return m_backend->step(); }
    void run()
    {
        while (step()) {
        }
    }
    void reset() { m_backend->reset(); }

    int columnCount() const { return m_backend->columnCount(); }
    QString columnName(int column) const { return m_backend->columnName(column); }
    bool isDateTime(int column) const { return m_backend->isDateTime(column); }
    bool isNull(int column) const { return m_backend->isNull(column); }
    QVariant value(int column) const { return m_backend->value(column); }
    qint64 integer(int column) const { return m_backend->integer(column); }
    const char *rawText(int column, int *length) const
    {
        return m_backend->rawText(column, length);
    }

private:
    std::unique_ptr<StatementBackend> m_backend;
};

// Everything between begin and commit lands together or not at all.
class Transaction
{
public:
    explicit Transaction(Connection &connection, const QString &lockedTable = {},
                         Writes writes = Writes::Immediate);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Connection &m_connection;
    bool m_open = true;
};

// Quotes a table or field name for SQL text; names may hold quotes, blanks, dots, brackets
// or line breaks. A name no engine can carry (an empty one, or one holding a NUL) is refused.
// The quoted name is joined to the statement text by concatenation, never by QString::arg,
// whose % markers a name can hold.
QString quoteIdentifier(const QString &name);
// Quoted names joined by commas, for a select list.
QString quotedList(const QStringList &names);
// Whether two names reach one table in a file: it matches table names without regard to the
// case of the letters A to Z, and of no other letters.
bool foldedAlike(const QString &first, const QString &second);

} // namespace horalink
