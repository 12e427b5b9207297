#pragma once

#include "clock/clock.h"
#include "support/replacement.h"

#include <memory>
#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

namespace horalink {

class Connection;

class FixedClock : public Clock
{
public:
    QDateTime now() override { return current; }
    QDateTime current;
};

// One row of a time log as stored.
struct LogRow
{
    QVariant ename;
    QVariant datetime;
    QVariant inoutfx;
    QVariant activity;
};

// How an employee stands in the list: the password as stored (a hash, or the plain text an
// older version kept; none signs on without one) and the wage as typed.
struct Listing
{
    QVariant password;
    QVariant wage = QStringLiteral("10");
};

// One event of a time log as stored. The activity is the task a clock-in took (" " when none
// was typed); a clock-out stores none.
struct Event
{
    QString stamp;
    QString status;
    QVariant activity;
};

// Whether this run of the suite keeps each test's data on the private database server
// (HORALINK_TEST_SERVER holds its connection string) rather than in the file.
bool onServer();

// A schema of its own on the private server, initialised like the fresh file or empty.
// Dropped, with all it holds, when it goes.
class ServerSchema
{
public:
    enum class Tables
    {
        Fresh,
        None
    };
    explicit ServerSchema(Tables tables = Tables::Fresh);
    ~ServerSchema();
    ServerSchema(const ServerSchema &) = delete;
    ServerSchema &operator=(const ServerSchema &) = delete;

    // The libpq connection string that reaches it.
    QString connectionString() const { return m_connectionString; }

private:
    QString m_name;
    QString m_connectionString;
};

// An account for the time clocks and one for the Manager on the private server, each with a
// password the server checks, as its administrator makes them; dropped when they go.
class ServerAccounts
{
public:
    ServerAccounts();
    ~ServerAccounts();
    ServerAccounts(const ServerAccounts &) = delete;
    ServerAccounts &operator=(const ServerAccounts &) = delete;

    QString clocks() const { return m_clocks; }
    QString manager() const { return m_manager; }
    // The tool's options that name them.
    QStringList options() const;
    // The connection string with the clocks' account in place of the suite's own.
    QString asClocks(const QString &connectionString) const;

    static const QString ClocksPassword;
    static const QString ManagerPassword;

private:
    QString m_clocks;
    QString m_manager;
};

// The data a procedure works on, without any window: a temporary working folder holding a
// fresh Employee.mdb (or a fresh schema on the private server that HORALINK_DATABASE names,
// when the suite runs there), a fixed clock and the en_US locale. Undone when it goes.
class DataFixture
{
public:
    DataFixture();
    ~DataFixture();

    QString folder() const;
    QString databasePath() const;

    // Direct access to the database, beside the program's own connection.
    Connection &file();
    void company(const QString &name = QStringLiteral("Acme Tools"));
    void setFlag(const QString &column, const QVariant &value);
    // Adds a listed employee with a time log, as the manager would:
    //     f.employee(Ann, {.password = passwordHash("pw"), .wage = "7.5"});
    void employee(const QString &name, const Listing &listing = {});
    void setPassword(const QString &name, const QVariant &password);
    // Appends an event to the log:
    //     f.event(Ann, {.stamp = "2026-03-02 08:00:00", .status = ClockedIn, .activity = " "});
    void event(const QString &table, const Event &event);
    // Appends an event without activity.
    void event(const QString &table, const QString &stamp, const QString &status);
    QList<LogRow> log(const QString &table);
    QStringList statuses(const QString &table);
    QStringList stamps(const QString &table);
    QVariant value(const QString &sql);
    // Makes the engine refuse, with this message, to delete a row of the table for which the
    // condition (over the row as old) holds, as an auditor's trigger would.
    void refuseDeletion(const QString &table, const QString &condition, const QString &message);
    // The first field of every row, as text.
    QStringList texts(const QString &sql);
    // Every table and its fields, in an order of their own: what a failed change must leave.
    QStringList schema();

    void setNow(const QString &stamp);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ServerSchema> m_server;
    QString m_previousFolder;
    std::unique_ptr<Connection> m_file;
    Replacement<FixedClock, Clock> m_clock{setClock, std::make_unique<FixedClock>()};

public:
    FixedClock &clock;
};

// Reads 'YYYY-MM-DD HH:MM:SS' as a stamp.
QDateTime stamp(const QString &text);

} // namespace horalink
