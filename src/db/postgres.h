#pragma once

#include "db/connection.h"
#include "db/serverroles.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <QByteArray>
#include <set>
#include <vector>

struct pg_conn;
struct pg_result;

namespace horalink {

// How long a statement waits for another time clock's lock on a table, in milliseconds,
// before it gives up, as the file waits for another copy of the program.
constexpr int LockWaitMs = 5000;

// A database on a PostgreSQL server, through libpq, shared by any number of time clocks.
// Each table keeps its stored order in an identity column named rowid. A connection that is
// lost fails the statement in progress with dberr::ConnectionLost; the next statement
// connects again, and prepares anew what it had prepared.
class PgConnection : public Connection
{
public:
    // Connects with a libpq connection string ("postgresql://clock@server/horalink",
    // "service=horalink"); an unreachable server is a DbError naming the host and the reason.
    static std::unique_ptr<PgConnection> open(const QString &connectionString);
    // The same database as another account, whose password the server checks: a wrong one
    // is a DbError numbered dberr::WrongPassword.
    static std::unique_ptr<PgConnection> openAs(const QString &connectionString,
                                                const QString &user, const QString &password);
    ~PgConnection() override;

    std::unique_ptr<StatementBackend> prepare(const QString &sql) override;
    void exec(const QString &sql) override;
    void begin(const QString &lockedTable, Writes writes) override;
    void commit() override;
    void rollback() noexcept override;
    QString schema() const override { return m_schema; }
    bool tableExists(const QString &name) override;
    QStringList tableNames() override;
    QStringList columnNames(const QString &table) override;
    bool sameTable(const QString &first, const QString &second) const override;
    void createTimeLog(const QString &name) override;
    void createEmployeeTables() override;
    void createHistory() override;
    qint64 changes() override;
    qint64 totalChanges() override;
    void actionBegins(const QString &action) override;
    QString location() const override;

    // The database's accounts, when they were set up (grantRoles); nothing on a database
    // every clock reaches as its owner.
    const std::optional<ServerRoles> &roles() const { return m_roles; }
    void setRoles(const ServerRoles &roles) { m_roles = roles; }
    // The account this connection signed on as.
    QString account() const;
    // Sets the password of the account this connection signed on as; the server keeps only
    // its SCRAM verifier, made here, so the password never travels as text.
    void changeOwnPassword(const QString &password);

    // Begins a transaction that reads the whole database as it stood at one moment, while the
    // time clocks go on writing.
    void beginSnapshot();
    // Runs one statement that holds no values but may hold quoted names (CREATE TABLE,
    // LOCK TABLE); a second statement in the text is refused.
    void runOne(const QString &sql);

    // What the statements of this connection need of it. A statement may outlive its
    // connection (a window's cursor deleted after the database was closed): it then touches
    // the connection no more.
    pg_conn *handle() const { return m_conn; }
    std::weak_ptr<const int> lifetime() const { return m_lifetime; }
    void reconnectIfLost();
    // Counts the times the connection was made again: statements prepared before are gone.
    int generation() const { return m_generation; }
    // A statement text prepared on the server, with what it gives back and takes. A text is
    // sent for preparation with its first execution, in the same message, and what it gives
    // and takes is known from then on.
    struct Prepared
    {
        enum class State
        {
            Unsent,
            Sending,
            Ready,
        };
        QByteArray name;
        State state = State::Unsent;
        QStringList columnNames;
        std::vector<unsigned int> columnTypes;
        std::vector<unsigned int> paramTypes;
    };
    // Each text is prepared once per session and kept: a cursor that reads its table again
    // costs the server no new plan and the clock no round trips.
    std::shared_ptr<Prepared> prepared(const QByteArray &text);
    // Prepares a text not yet prepared, and waits for what it gives back and takes.
    void describe(const std::shared_ptr<Prepared> &prepared, const QByteArray &text);
    // Runs before each command of a statement, a transaction or a preparation is sent: the
    // tests end the session there, to see what a connection lost at that command leaves.
    void setBeforeCommand(std::function<void()> hook) { m_beforeCommand = std::move(hook); }
    void beforeCommand() const
    {
        if (m_beforeCommand)
            m_beforeCommand();
    }
    // Runs a prepared statement with its values, as text. Where a network lies between clock
    // and server, each wait for an answer costs more than the work: a statement that gives
    // no rows, in a transaction that batches its writes, waits to go with the next one that
    // needs an answer; what a user's action read the last time it came is asked for together
    // with its first answer that leaves no transaction open, and taken from there when asked
    // for again. Returns the statement's result, or nothing for one that waits.
    // A read not yet prepared goes with its preparation; a write waits for its preparation
    // first, since what a value may be depends on the column it is written to.
    using Values = std::vector<std::optional<QByteArray>>;
    pg_result *run(const std::shared_ptr<Prepared> &prepared, const QByteArray &text,
                   const Values &values);
    // The times the clock waited for the server's answer since the connection opened.
    qint64 roundTrips() const { return m_roundTrips; }

    // Takes the result of a command; a failed one is thrown as a DbError and cleared.
    pg_result *checked(pg_result *result, bool committing = false);
    void counted(pg_result *result);

private:
    // The failure of a command whose connection went, which is cleared; the next command
    // connects again.
    DbError connectionLost(pg_result *result, bool committing);
    // A command waiting to be sent: a prepared statement by name, or a text without values;
    // with the preparation of its text first where that is still to be sent, or that alone.
    struct Command
    {
        QByteArray name;
        QByteArray text;
        Values values;
        std::shared_ptr<Prepared> preparing = {};
        bool executing = true;
    };
    // A statement an action read, as the next time it comes will read it again.
    struct Read
    {
        QByteArray text;
        Values values;
    };

    // What an action read outside a transaction the last time, and what it read the time
    // before and not the last time.
    struct Learnt
    {
        std::vector<Read> reads;
        std::vector<Read> others;
    };

    explicit PgConnection(pg_conn *conn);
    void queueText(const QByteArray &text);
    // Readies the connection for a command sent alone, whose answer is waited for.
    void beforeWaiting();
    // Sends every waiting command, and what the action will read next where no transaction
    // stays open, in one message; returns the last command's result.
    pg_result *flush(bool committing = false);
    // Sends the commands and the reads ahead in one message: how many reads went with the
    // commands, or nothing when the message could not be sent whole.
    std::optional<size_t> sendAll(const std::vector<Command> &commands,
                                  const std::vector<Read> &ahead);
    // Keeps each read ahead that found its rows until it is asked for.
    void keepReadAhead(const std::vector<Read> &ahead,
                       const std::vector<pg_result *> &reads) noexcept;
    // The command that runs a prepared text, with its preparation where that is still to be sent.
    static Command commandFor(const std::shared_ptr<Prepared> &prepared, const QByteArray &text,
                              const Values &values);
    // What was read ahead for this text and these values, taken out; nothing when it was not.
    pg_result *takeReadAhead(const QByteArray &text, const Values &values);
    bool send(const Command &command);
    pg_result *nextResult();
    pg_result *answerOf(const Command &command);
    void takePreparation(Prepared &prepared, const pg_result *described);
    void abandon(const std::vector<Command> &commands) noexcept;
    QByteArray nextName();
    pg_result *takeResults(std::vector<pg_result *> &results, size_t commands, bool committing);
    std::vector<Read> readAhead() const;
    void learn(const QByteArray &text, const Values &values, bool rows);
    static void learnt(Learnt &action, std::vector<Read> reads);
    void dropReadAhead() noexcept;
    void forgetCatalog() noexcept;
    static std::unique_ptr<PgConnection> connect(const QString &connectionString,
                                                 const QString &user, const QString &password);
    void startSession(bool readingSchema);
    void readSchema(pg_result *result);
    void createTable(const QString &name, const char *columns);
    void forgetUnused() noexcept;

    pg_conn *m_conn;
    QString m_schema;
    std::optional<ServerRoles> m_roles;
    int m_generation = 0;
    // Set when a command found the connection gone; the next one connects again.
    bool m_lost = false;
    bool m_inTransaction = false;
    quint64 m_lastName = 0;
    std::map<QByteArray, std::shared_ptr<Prepared>> m_prepared;
    qint64 m_changes = 0;
    qint64 m_totalChanges = 0;
    std::shared_ptr<const int> m_lifetime = std::make_shared<const int>(0);
    std::function<void()> m_beforeCommand;
    bool m_batched = false;
    std::vector<Command> m_queue;
    qint64 m_roundTrips = 0;
    // What was read ahead and not yet asked for, by text and values.
    std::map<QByteArray, pg_result *> m_ahead;
    // Each action's, by the control that started it or its first statement.
    std::map<QByteArray, Learnt> m_learnt;
    // The action under way: the control that started it, and its first statement.
    QByteArray m_actionName;
    QByteArray m_action;
    std::vector<Read> m_reads;
    // What the catalog told, kept until a command fails or a statement changes a table:
    // tables are never dropped by the program, and time logs never change their columns.
    std::map<QString, QStringList> m_columns;
    std::set<QString> m_tables;
    // The company table's columns as the session's start read them, until first asked for.
    std::optional<QStringList> m_companyColumnsRead;
};

// ?N and ? placeholders as the server reads them ($N), outside quoted text and comments; a
// quoted name longer than the server keeps (63 bytes) is refused rather than cut short, where
// it could reach another employee's table.
// The highest number it gives a value is put in `parameters` when asked.
QByteArray serverSql(const QString &sql, int *parameters = nullptr);

} // namespace horalink
