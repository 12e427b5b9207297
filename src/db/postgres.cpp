#include "postgres.h"

#include "db/datetimetext.h"
#include "db/delivery.h"
#include "db/libpq.h"
#include "db/schema_sql.h"

#include <cstring>
#include <optional>
#include <QJsonArray>
#include <QJsonDocument>

namespace horalink {

namespace {

// The server's numbers for the types the program reads (its catalog's pg_type).
enum TypeOid : Oid
{
    BoolOid = 16,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    Float4Oid = 700,
    Float8Oid = 701,
    NumericOid = 1700,
    TimestampOid = 1114,
};

// The longest name the server keeps; a longer one it would cut short without a word.
constexpr int LongestName = 63;

// Past this many prepared texts, those no statement uses are freed on the server.
constexpr size_t PreparedKept = 256;

const char *const LockTimeoutState = "55P03";
const char *const CheckViolationState = "23514";
const char *const ReadOnlyState = "25006";
const char *const NoPrivilegeState = "42501";

QString firstLine(const char *message)
{
    const QString text = QString::fromUtf8(message).trimmed();
    return text.section(QLatin1Char('\n'), 0, 0).trimmed();
}

QString whereOf(pg_conn *conn)
{
    const char *db = pq().PQdb(conn);
    const char *host = pq().PQhost(conn);
    return QString::fromUtf8(db && *db ? db : "?") + QStringLiteral(" on ") +
           QString::fromUtf8(host && *host ? host : "localhost");
}

bool startsWith(const char *text, const char *prefix)
{
    return text && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Whether a command failed because the connection, rather than the command, went wrong.
bool connectionFailed(pg_conn *conn, const PGresult *result)
{
    if (!result || pq().PQstatus(conn) == CONNECTION_BAD)
        return true;
    const char *state = pq().PQresultErrorField(result, PG_DIAG_SQLSTATE);
    // Class 08 is a connection exception; 57P01 to 57P03 are the server shutting down or
    // ending this session.
    return !state || startsWith(state, "08") || startsWith(state, "57P0");
}

// A stamp bound for the datetime field must have the one form the file keeps: the server
// would also take 'yesterday', 'now' or 'March 2', and store a different moment.
bool isStoredStampText(const QByteArray &text)
{
    const QDateTime stamp = parseStoredStamp(text.constData(), int(text.size()));
    return stamp.isValid() && storedStamp(stamp).toUtf8() == text;
}

// The columns of a table the program reads, in their order, but the server's own rowid.
QByteArray columnsSql(const QByteArray &schema, const QByteArray &table)
{
    return "SELECT a.attname, a.attnum FROM pg_catalog.pg_attribute a "
           "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid "
           "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = " +
           schema + " AND c.relname = " + table +
           " AND a.attnum > 0 AND NOT a.attisdropped AND a.attname <> 'rowid'";
}

// Names the server gave as a JSON array; none for a null.
QStringList jsonNames(const PGresult *result, int column)
{
    QStringList names;
    if (pq().PQgetisnull(result, 0, column))
        return names;
    const QJsonArray array =
        QJsonDocument::fromJson(QByteArray(pq().PQgetvalue(result, 0, column))).array();
    for (const QJsonValue &name : array)
        names << name.toString();
    return names;
}

// Why a connection could not be made, in words the user can act on.
DbError unreachable(pg_conn *conn, bool accountGiven)
{
    const QString reason = firstLine(pq().PQerrorMessage(conn));
    // The server tells a wrong password from other refusals only in its words; a password
    // that was sent and refused is the one case the user can mend by typing again.
    const bool wrongPassword = accountGiven && pq().PQconnectionUsedPassword(conn) &&
                               reason.contains(QLatin1String("authentication failed"));
    return DbError(wrongPassword ? dberr::WrongPassword : dberr::ServerUnreachable,
                   QStringLiteral("Could not reach the database ") + whereOf(conn) +
                       QStringLiteral(": ") + reason);
}

class PgStatement : public StatementBackend
{
public:
    PgStatement(PgConnection &connection, const QString &sql)
        : m_connection(connection), m_lifetime(connection.lifetime()),
          m_text(serverSql(sql, &m_parameters)), m_prepared(connection.prepared(m_text)),
          m_generation(connection.generation()), m_params(m_parameters)
    {}

    ~PgStatement() override { pq().PQclear(m_result); }

    void bind(int index, const QVariant &value) override
    {
        if (index < 1 || index > int(m_params.size()))
            throw DbError(dberr::ServerRefused, QStringLiteral("column index out of range"));
        if (value.isNull()) {
            m_params[index - 1].reset();
            return;
        }
        QByteArray text;
        switch (value.typeId()) {
        case QMetaType::Bool:
            text = value.toBool() ? "1" : "0";
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            text = QByteArray::number(value.toDouble(), 'g', 17);
            break;
        default:
            text = value.toString().toUtf8();
        }
        m_params[index - 1] = std::move(text);
        // A statement not yet prepared learns its values' columns when it first runs.
        if (ready())
            checkStamp(index - 1);
    }

    bool step() override
    {
        if (m_result && m_row >= pq().PQntuples(m_result))
            reset();
        if (!m_result) {
            execute();
            m_row = -1;
        }
        // A statement that waits to be sent with the next gives no rows.
        return m_result && ++m_row < pq().PQntuples(m_result);
    }

    void reset() override
    {
        pq().PQclear(m_result);
        m_result = nullptr;
        m_row = -1;
    }

    int columnCount() const override { return int(described().columnNames.size()); }
    QString columnName(int column) const override { return described().columnNames.value(column); }
    bool isDateTime(int column) const override
    {
        return column >= 0 && column < columnCount() &&
               m_prepared->columnTypes[column] == TimestampOid;
    }

    bool isNull(int column) const override
    {
        return !onRow(column) || pq().PQgetisnull(m_result, m_row, column);
    }

    QVariant value(int column) const override
    {
        if (isNull(column))
            return {};
        const QByteArrayView text(pq().PQgetvalue(m_result, m_row, column),
                                  pq().PQgetlength(m_result, m_row, column));
        switch (m_prepared->columnTypes[column]) {
        case Int2Oid:
        case Int4Oid:
        case Int8Oid:
            return QVariant(text.toLongLong());
        case Float4Oid:
        case Float8Oid:
        case NumericOid:
            return QVariant(text.toDouble());
        case BoolOid:
            // The file has no truth values: it keeps them as 1 and 0.
            return QVariant(qint64(text == "t"));
        default:
            return QString::fromUtf8(text);
        }
    }

    qint64 integer(int column) const override
    {
        return isNull(column)
                   ? 0
                   : QByteArrayView(pq().PQgetvalue(m_result, m_row, column)).toLongLong();
    }

    const char *rawText(int column, int *length) const override
    {
        if (isNull(column)) {
            *length = 0;
            return nullptr;
        }
        *length = pq().PQgetlength(m_result, m_row, column);
        return pq().PQgetvalue(m_result, m_row, column);
    }

private:
    bool ready() const { return m_prepared->state == PgConnection::Prepared::State::Ready; }

    // What the statement gives back, asked of the server when it has not run yet.
    const PgConnection::Prepared &described() const
    {
        if (!ready() && !m_lifetime.expired()) {
            m_connection.reconnectIfLost();
            m_connection.describe(m_prepared, m_text);
        }
        return *m_prepared;
    }

    // A stamp bound for the datetime field must have the one form the file keeps.
    void checkStamp(size_t param) const
    {
        const auto &types = m_prepared->paramTypes;
        if (param < types.size() && types[param] == TimestampOid && m_params[param] &&
            !isStoredStampText(*m_params[param]))
            throw DbError(
                dberr::CheckFailed,
                QStringLiteral("CHECK constraint failed: datetime holds a date and time"));
    }

    bool onRow(int column) const
    {
        return m_result && m_row >= 0 && m_row < pq().PQntuples(m_result) && column >= 0 &&
               column < pq().PQnfields(m_result);
    }

    void execute()
    {
        if (m_lifetime.expired())
            throw DbError(dberr::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
        m_connection.reconnectIfLost();
        // A connection made again holds none of the statements prepared before.
        if (m_generation != m_connection.generation()) {
            m_prepared = m_connection.prepared(m_text);
            m_generation = m_connection.generation();
        }
        const bool checked = ready();
        m_result = m_connection.run(m_prepared, m_text, m_params);
        // A read ran with its preparation; what it found is not shown when a value was no
        // stamp where the server took one.
        try {
            for (size_t param = 0; !checked && param < m_params.size(); ++param)
                checkStamp(param);
        } catch (const DbError &) {
            reset();
            throw;
        }
    }

    PgConnection &m_connection;
    std::weak_ptr<const int> m_lifetime;
    int m_parameters = 0;
    QByteArray m_text;
    std::shared_ptr<PgConnection::Prepared> m_prepared;
    int m_generation;
    PgConnection::Values m_params;
    PGresult *m_result = nullptr;
    int m_row = -1;
};

} // namespace

namespace {

// Reads a statement as the file's engine takes it and writes it as the server reads it; quoted
// text, quoted names and comments are copied as they stand.
class ServerSqlWriter
{
public:
    explicit ServerSqlWriter(const QString &sql) : m_in(sql.toUtf8())
    {
        m_out.reserve(m_in.size() + 8);
    }

    QByteArray written()
    {
        while (m_at < m_in.size()) {
            const char c = m_in[m_at];
            if (c == '\'')
                quoted('\'');
            else if (c == '"')
                requireKept(quoted('"'));
            else if (startsHere("--"))
                copyComment("\n", 0);
            else if (startsHere("/*"))
                copyComment("*/", 2);
            else if (c == '?')
                placeholder();
            else
                m_out += m_in[m_at++];
        }
        return m_out;
    }

    int highest() const { return m_highest; }

private:
    bool startsHere(const char *two) const
    {
        return m_in[m_at] == two[0] && m_at + 1 < m_in.size() && m_in[m_at + 1] == two[1];
    }

    // Copies a quoted text or name, its doubled quotes included; returns what it holds.
    QByteArray quoted(char quote)
    {
        QByteArray held;
        m_out += m_in[m_at++];
        while (m_at < m_in.size()) {
            if (m_in[m_at] == quote) {
                m_out += m_in[m_at++];
                if (m_at < m_in.size() && m_in[m_at] == quote) {
                    held += quote;
                    m_out += m_in[m_at++];
                    continue;
                }
                break;
            }
            held += m_in[m_at];
            m_out += m_in[m_at++];
        }
        return held;
    }

    static void requireKept(const QByteArray &name)
    {
        if (name.size() > LongestName)
            throw DbError(dberr::BadTableName,
                          QLatin1Char('\'') + QString::fromUtf8(name) +
                              QStringLiteral("' is longer than the 63 bytes a name may have "
                                             "on the database server."));
    }

    // Copies a comment up to its close, and so much of the close as belongs to it.
    void copyComment(const char *close, qsizetype closeKept)
    {
        const qsizetype end = m_in.indexOf(close, m_at + 2);
        const qsizetype stop = end < 0 ? m_in.size() : end + closeKept;
        m_out += m_in.mid(m_at, stop - m_at);
        m_at = stop;
    }

    void placeholder()
    {
        ++m_at;
        int number = 0;
        bool numbered = false;
        while (m_at < m_in.size() && m_in[m_at] >= '0' && m_in[m_at] <= '9') {
            number = number * 10 + (m_in[m_at++] - '0');
            numbered = true;
        }
        // A bare ? takes the number after the highest so far, as the file's engine counts.
        if (!numbered)
            number = m_highest + 1;
        m_highest = std::max(m_highest, number);
        m_out += '$' + QByteArray::number(number);
    }

    const QByteArray m_in;
    QByteArray m_out;
    qsizetype m_at = 0;
    int m_highest = 0;
};

} // namespace

QByteArray serverSql(const QString &sql, int *parameters)
{
    ServerSqlWriter writer(sql);
    QByteArray out = writer.written();
    if (parameters)
        *parameters = writer.highest();
    return out;
}

PgConnection::PgConnection(pg_conn *conn) : m_conn(conn)
{}

std::unique_ptr<PgConnection> PgConnection::open(const QString &connectionString)
{
    return connect(connectionString, {}, {});
}

std::unique_ptr<PgConnection> PgConnection::openAs(const QString &connectionString,
                                                   const QString &user, const QString &password)
{
    return connect(connectionString, user, password);
}

std::unique_ptr<PgConnection> PgConnection::connect(const QString &connectionString,
                                                    const QString &user, const QString &password)
{
    const QByteArray info = connectionString.toUtf8();
    const QByteArray account = user.toUtf8();
    const QByteArray secret = password.toUtf8();
    // The string's own settings come after the first three and override them; an account
    // given comes last and overrides the string's.
    // Text comes and goes as UTF-8 whatever the string says, with no round trip of its own.
    std::vector<const char *> keywords = {"connect_timeout", "application_name", "dbname",
                                          "client_encoding"};
    std::vector<const char *> values = {"10", "horalink", info.constData(), "UTF8"};
    if (!user.isEmpty()) {
        keywords.insert(keywords.end(), {"user", "password"});
        values.insert(values.end(), {account.constData(), secret.constData()});
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    pg_conn *conn = pq().PQconnectdbParams(keywords.data(), values.data(), 1);
    if (pq().PQstatus(conn) != CONNECTION_OK) {
        const DbError error = unreachable(conn, !user.isEmpty());
        pq().PQfinish(conn);
        throw error;
    }
    std::unique_ptr<PgConnection> connection(new PgConnection(conn));
    connection->startSession(true);
    return connection;
}

PgConnection::~PgConnection()
{
    dropReadAhead();
    pq().PQfinish(m_conn);
}

void PgConnection::startSession(bool readingSchema)
{
    // Stamps come back as 'YYYY-MM-DD HH:MM:SS'. A lock held by another time clock is waited
    // for as long as the file waits for another copy of the program; a clock that stops with
    // a transaction open (a frozen computer) lets go of its locks after a minute. The schema
    // is read once, with the settings, and kept for the connection's life: a session made
    // again after a lost connection works in the tables it worked in before. Its description
    // names its accounts, when they were set up, and the query cannot fail where there are
    // none.
    QByteArray settings =
        "SET DateStyle = 'ISO, YMD'; SET lock_timeout = " + QByteArray::number(LockWaitMs) +
        "; SET idle_in_transaction_session_timeout = 60000; "
        "SET client_min_messages = warning";
    // The schema's tables and the company table's columns come along: the start asks for
    // both next, and a clock a network away would wait for each.
    if (readingSchema)
        settings += "; SELECT current_schema(), pg_catalog.obj_description("
                    "pg_catalog.to_regnamespace(current_schema())::oid, 'pg_namespace'), "
                    "(SELECT pg_catalog.json_agg(tablename) FROM pg_catalog.pg_tables WHERE "
                    "schemaname = current_schema()), (SELECT pg_catalog.json_agg(attname ORDER BY "
                    "attnum) FROM (" +
                    columnsSql("current_schema()", "'" + CompanyTable.toUtf8() + "'") +
                    ") AS columns)";
    ++m_roundTrips;
    PGresult *result = checked(pq().PQexec(m_conn, settings.constData()));
    if (readingSchema)
        readSchema(result);
    pq().PQclear(result);
}

void PgConnection::readSchema(PGresult *result)
{
    const bool named = pq().PQntuples(result) == 1 && !pq().PQgetisnull(result, 0, 0);
    m_schema = named ? QString::fromUtf8(pq().PQgetvalue(result, 0, 0)) : QString();
    m_roles =
        named ? rolesFromText(QString::fromUtf8(pq().PQgetvalue(result, 0, 1))) : std::nullopt;
    for (const QString &table : jsonNames(result, 2))
        m_tables.insert(table);
    if (named && !pq().PQgetisnull(result, 0, 3))
        m_companyColumnsRead = jsonNames(result, 3);
    // The catalog's schemas belong to the server: tables of the program there would sit
    // among its own.
    if (m_schema.isEmpty() || m_schema.startsWith(QLatin1String("pg_")) ||
        m_schema == QLatin1String("information_schema")) {
        pq().PQclear(result);
        throw DbError(dberr::ServerRefused,
                      QStringLiteral("The database ") + location() +
                          QStringLiteral(" offers no schema of its own for the employee tables "
                                         "(its search_path names none that exists)."));
    }
}

void PgConnection::reconnectIfLost()
{
    if (pq().PQstatus(m_conn) == CONNECTION_OK && !m_lost)
        return;
    // Within a transaction the server has already undone what it held; going on in a new
    // session would write the rest of it alone.
    if (m_inTransaction)
        throw DbError(dberr::ConnectionLost,
                      QStringLiteral("The connection to the database ") + location() +
                          QStringLiteral(" was lost; nothing of what was being done was "
                                         "stored."));
    pq().PQreset(m_conn);
    if (pq().PQstatus(m_conn) != CONNECTION_OK)
        throw DbError(dberr::ConnectionLost,
                      QStringLiteral("The database ") + location() +
                          QStringLiteral(" cannot be reached: ") +
                          firstLine(pq().PQerrorMessage(m_conn)) +
                          QStringLiteral(". Nothing was stored; try again later."));
    m_lost = false;
    ++m_generation;
    m_prepared.clear();
    dropReadAhead();
    forgetCatalog();
    startSession(false);
}

std::shared_ptr<PgConnection::Prepared> PgConnection::prepared(const QByteArray &text)
{
    if (const auto found = m_prepared.find(text); found != m_prepared.end())
        return found->second;
    if (m_prepared.size() >= PreparedKept)
        forgetUnused();
    // A statement that changes a table makes what the catalog told stale.
    for (const char *changing : {"ALTER", "CREATE", "DROP"}) {
        if (text.startsWith(changing))
            forgetCatalog();
    }
    auto made = std::make_shared<Prepared>();
    made->name = nextName();
    m_prepared.emplace(text, made);
    return made;
}

QByteArray PgConnection::nextName()
{
    return "horalink_" + QByteArray::number(++m_lastName);
}

void PgConnection::describe(const std::shared_ptr<Prepared> &prepared, const QByteArray &text)
{
    if (prepared->state != Prepared::State::Unsent)
        return;
    prepared->state = Prepared::State::Sending;
    m_queue.push_back({prepared->name, text, {}, prepared, false});
    pq().PQclear(flush());
}

void PgConnection::takePreparation(Prepared &prepared, const pg_result *described)
{
    prepared.state = Prepared::State::Ready;
    for (int i = 0; i < pq().PQnfields(described); ++i) {
        prepared.columnNames << QString::fromUtf8(pq().PQfname(described, i));
        prepared.columnTypes.push_back(pq().PQftype(described, i));
    }
    for (int i = 0; i < pq().PQnparams(described); ++i)
        prepared.paramTypes.push_back(pq().PQparamtype(described, i));
}

void PgConnection::abandon(const std::vector<Command> &commands) noexcept
{
    // A preparation that did not come back is sent again under a new name: the server may
    // hold the old one or not.
    for (const Command &command : commands) {
        if (command.preparing && command.preparing->state != Prepared::State::Ready) {
            command.preparing->state = Prepared::State::Unsent;
            command.preparing->name = nextName();
        }
    }
}

void PgConnection::forgetUnused() noexcept
{
    // Within a transaction a failed statement would stop the rest of it; the texts are
    // freed after it.
    if (m_inTransaction || pq().PQstatus(m_conn) != CONNECTION_OK)
        return;
    QByteArray sql;
    for (auto it = m_prepared.begin(); it != m_prepared.end();) {
        if (it->second.use_count() == 1) {
            if (it->second->state == Prepared::State::Ready)
                sql += "DEALLOCATE " + it->second->name + ";";
            it = m_prepared.erase(it);
        } else {
            ++it;
        }
    }
    // A text the server could not free is freed with the session; nothing is lost.
    if (!sql.isEmpty())
        pq().PQclear(pq().PQexec(m_conn, sql.constData()));
}

namespace {

// The server's refusal of a command, in the words the file's engine would use for it.
DbError refusalOf(PGresult *result)
{
    // Copied: the fields go with the result.
    const QByteArray state(pq().PQresultErrorField(result, PG_DIAG_SQLSTATE));
    const char *constraintField = pq().PQresultErrorField(result, PG_DIAG_CONSTRAINT_NAME);
    const QString constraint = constraintField ? QString::fromUtf8(constraintField) : QString();
    const QString message = firstLine(pq().PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
    pq().PQclear(result);
    // The server's tables carry the file's named checks: a refusal reads as the file's.
    if (startsWith(state.constData(), CheckViolationState) && !constraint.isEmpty())
        return DbError(dberr::CheckFailed,
                       QStringLiteral("CHECK constraint failed: ") + constraint);
    // A server that only reads (a standby, or a session set so) refuses as the file does.
    if (startsWith(state.constData(), ReadOnlyState))
        return DbError(dberr::ReadOnly, message);
    if (startsWith(state.constData(), NoPrivilegeState))
        return DbError(dberr::NotPermitted,
                       QStringLiteral("Only the Manager may make this change on the shared "
                                      "database; nothing was stored (") +
                           message + QStringLiteral(")."));
    if (startsWith(state.constData(), LockTimeoutState))
        return DbError(dberr::Locked,
                       QStringLiteral("Another time clock kept the table locked; nothing was "
                                      "written."));
    if (message.contains(QLatin1String("cannot insert multiple commands")))
        return DbError(dberr::SyntaxError,
                       QStringLiteral("A statement may not be followed by another one."));
    return DbError(dberr::ServerRefused, message);
}

} // namespace

PGresult *PgConnection::checked(PGresult *result, bool committing)
{
    const ExecStatusType status = result ? pq().PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return result;
    // A command that failed may have met a table another clock just changed.
    forgetCatalog();
    if (connectionFailed(m_conn, result))
        throw connectionLost(result, committing);
    throw refusalOf(result);
}

DbError PgConnection::connectionLost(PGresult *result, bool committing)
{
    const QString reason =
        firstLine(result ? pq().PQresultErrorMessage(result) : pq().PQerrorMessage(m_conn));
    pq().PQclear(result);
    m_lost = true;
    const bool transactionGone = m_inTransaction && !committing;
    return DbError(dberr::ConnectionLost,
                   QStringLiteral("The connection to the database ") + location() +
                       QStringLiteral(" was lost (") + reason +
                       (transactionGone
                            ? QStringLiteral("). Nothing of what was being done was stored")
                            : QStringLiteral("). What was being done is stored whole or not "
                                             "at all")) +
                       QStringLiteral("; the next action connects again."));
}

void PgConnection::counted(PGresult *result)
{
    const char *status = pq().PQcmdStatus(result);
    if (startsWith(status, "INSERT") || startsWith(status, "UPDATE") ||
        startsWith(status, "DELETE")) {
        m_changes = QByteArrayView(pq().PQcmdTuples(result)).toLongLong();
        m_totalChanges += m_changes;
    }
}

std::unique_ptr<StatementBackend> PgConnection::prepare(const QString &sql)
{
    return std::make_unique<PgStatement>(*this, sql);
}

void PgConnection::beforeWaiting()
{
    // What waits to be sent goes first, in its order; the command may change a table.
    flush();
    reconnectIfLost();
    forgetCatalog();
    beforeCommand();
    ++m_roundTrips;
}

void PgConnection::exec(const QString &sql)
{
    beforeWaiting();
    // Fixed text binds no values: it is sent as written, dollar-quoted bodies and all.
    PGresult *result = checked(pq().PQexec(m_conn, sql.toUtf8().constData()));
    counted(result);
    pq().PQclear(result);
}

void PgConnection::runOne(const QString &sql)
{
    beforeWaiting();
    PGresult *result = checked(pq().PQexecParams(m_conn, serverSql(sql).constData(), 0, nullptr,
                                                 nullptr, nullptr, nullptr, 0));
    counted(result);
    pq().PQclear(result);
}

void PgConnection::queueText(const QByteArray &text)
{
    m_queue.push_back({{}, text, {}});
}

void PgConnection::begin(const QString &lockedTable, Writes writes)
{
    if (m_inTransaction)
        throw DbError(dberr::ServerRefused,
                      QStringLiteral("cannot start a transaction within a transaction"));
    reconnectIfLost();
    dropReadAhead();
    // Sent with the transaction's first statement that needs an answer.
    queueText("BEGIN");
    m_inTransaction = true;
    m_batched = writes == Writes::Batched;
    // A failure here (a lost connection, another clock's lock) is the caller's only word of
    // it: no transaction is left open for the next action to trip over.
    try {
        // A table that is not there has no writers to wait for; the procedure tells its
        // absence in its own words, as on the file.
        if (lockedTable.isEmpty() || !tableExists(lockedTable))
            return;
        // Readers go on; every other writer of the table, and every other clock that locks it
        // so, waits until this transaction ends.
        queueText(serverSql(QStringLiteral("LOCK TABLE ") + quotedTable(lockedTable) +
                            QStringLiteral(" IN SHARE ROW EXCLUSIVE MODE")));
    } catch (const DbError &) {
        rollback();
        throw;
    }
}

void PgConnection::beginSnapshot()
{
    if (m_inTransaction)
        throw DbError(dberr::ServerRefused,
                      QStringLiteral("cannot start a transaction within a transaction"));
    exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
    m_inTransaction = true;
    m_batched = false;
}

void PgConnection::commit()
{
    queueText("COMMIT");
    PGresult *result = flush(true);
    // A transaction in which a statement failed is rolled back by COMMIT, without an error.
    const bool rolledBack = startsWith(pq().PQcmdStatus(result), "ROLLBACK");
    pq().PQclear(result);
    m_inTransaction = false;
    m_batched = false;
    if (rolledBack)
        throw DbError(dberr::ServerRefused,
                      QStringLiteral("A statement of the transaction failed; nothing of it was "
                                     "stored."));
}

void PgConnection::rollback() noexcept
{
    // What was never sent needs no undoing.
    abandon(m_queue);
    m_queue.clear();
    m_inTransaction = false;
    m_batched = false;
    if (pq().PQstatus(m_conn) == CONNECTION_OK && pq().PQtransactionStatus(m_conn) != PQTRANS_IDLE)
        pq().PQclear(pq().PQexec(m_conn, "ROLLBACK"));
}

qint64 PgConnection::changes()
{
    flush();
    return m_changes;
}

qint64 PgConnection::totalChanges()
{
    flush();
    return m_totalChanges;
}

bool PgConnection::tableExists(const QString &name)
{
    if (m_tables.count(name))
        return true;
    Statement query(*this, QStringLiteral("SELECT 1 FROM pg_catalog.pg_tables WHERE schemaname = "
                                          "?1 AND tablename = ?2"));
    query.bind(1, m_schema).bind(2, name);
    const bool found = query.step();
    if (found)
        m_tables.insert(name);
    return found;
}

QStringList PgConnection::tableNames()
{
    Statement query(*this, QStringLiteral("SELECT tablename FROM pg_catalog.pg_tables WHERE "
                                          "schemaname = ?1 ORDER BY tablename"));
    query.bind(1, m_schema);
    QStringList names;
    while (query.step())
        names << query.value(0).toString();
    return names;
}

QStringList PgConnection::columnNames(const QString &table)
{
    // The company table gains a column when another clock first stores a switch: it is read
    // every time, but for the first time after the session's start read them.
    const bool kept = table != CompanyTable;
    if (const auto found = m_columns.find(table); kept && found != m_columns.end())
        return found->second;
    if (!kept && m_companyColumnsRead) {
        const QStringList names = std::move(*m_companyColumnsRead);
        m_companyColumnsRead.reset();
        return names;
    }
    Statement columns(*this, QString::fromUtf8(columnsSql("?1", "?2") + " ORDER BY a.attnum"));
    columns.bind(1, m_schema).bind(2, table);
    QStringList names;
    while (columns.step())
        names << columns.value(0).toString();
    if (kept && !names.isEmpty())
        m_columns[table] = names;
    return names;
}

namespace {

QByteArray keyOf(const QByteArray &text, const PgConnection::Values &values)
{
    QByteArray key = text;
    for (const auto &value : values) {
        key += value ? '\x01' + *value : QByteArray("\x02");
    }
    return key;
}

// Reads ahead are kept for so many statements of an action, no more.
constexpr size_t ReadsLearnt = 32;

} // namespace

void PgConnection::learn(const QByteArray &text, const Values &values, bool rows)
{
    // An action a control started is known by the control; another by its first statement.
    if (m_action.isEmpty()) {
        m_action = '\x03' + keyOf(text, values);
        return;
    }
    // Only what changes nothing may be asked for ahead: a write sent again would change the
    // record a second time.
    const bool reads = rows && text.trimmed().startsWith("SELECT");
    if (reads && !m_inTransaction && m_reads.size() < ReadsLearnt)
        m_reads.push_back({text, values});
}

void PgConnection::actionBegins(const QString &action)
{
    if (!m_action.isEmpty())
        learnt(m_learnt[m_action], std::move(m_reads));
    m_actionName = action.toUtf8();
    // A write that waits for the commit may come first: the control names the action at once.
    m_action = m_actionName;
    m_reads.clear();
    dropReadAhead();
}

void PgConnection::learnt(Learnt &action, std::vector<Read> reads)
{
    // An action that goes one of two ways (a clock-out stored or refused) reads ahead what
    // either way read the last time.
    std::set<QByteArray> now;
    for (const Read &read : reads)
        now.insert(keyOf(read.text, read.values));
    std::vector<Read> others;
    for (const Read &read : action.reads) {
        if (others.size() + reads.size() < ReadsLearnt && !now.count(keyOf(read.text, read.values)))
            others.push_back(read);
    }
    action = {std::move(reads), std::move(others)};
}

void PgConnection::dropReadAhead() noexcept
{
    for (auto &[key, result] : m_ahead)
        pq().PQclear(result);
    m_ahead.clear();
}

void PgConnection::forgetCatalog() noexcept
{
    m_columns.clear();
    m_tables.clear();
    m_companyColumnsRead.reset();
}

std::vector<PgConnection::Read> PgConnection::readAhead() const
{
    std::vector<Read> ahead;
    const auto learnt = m_learnt.find(m_action);
    if (learnt == m_learnt.end())
        return ahead;
    std::set<QByteArray> done;
    for (const Read &read : m_reads)
        done.insert(keyOf(read.text, read.values));
    std::set<QByteArray> asked;
    const auto add = [&](const Read &read, bool again) {
        const QByteArray key = keyOf(read.text, read.values);
        // Only what this session has prepared can be asked for without a wait of its own.
        const auto prepared = m_prepared.find(read.text);
        if (prepared == m_prepared.end() || prepared->second->state != Prepared::State::Ready ||
            m_ahead.count(key) || (!again && done.count(key)) || !asked.insert(key).second)
            return;
        ahead.push_back(read);
    };
    // What the last time read after this point may be read again now: by its place.
    const std::vector<Read> &reads = learnt->second.reads;
    for (size_t i = m_reads.size(); i < reads.size(); ++i)
        add(reads[i], true);
    for (const Read &read : learnt->second.others)
        add(read, false);
    return ahead;
}

pg_result *PgConnection::run(const std::shared_ptr<Prepared> &prepared, const QByteArray &text,
                             const Values &values)
{
    const bool reading = text.trimmed().startsWith("SELECT");
    if (!reading)
        describe(prepared, text);
    const bool rows = reading || !prepared->columnNames.isEmpty();
    Command command = commandFor(prepared, text, values);
    if (!rows && m_inTransaction && m_batched) {
        dropReadAhead();
        m_queue.push_back(std::move(command));
        return nullptr;
    }
    learn(text, values, rows);
    if (!rows) {
        dropReadAhead();
    } else if (pg_result *result = takeReadAhead(text, values)) {
        abandon({command});
        return result;
    }
    m_queue.push_back(std::move(command));
    return flush();
}

PgConnection::Command PgConnection::commandFor(const std::shared_ptr<Prepared> &prepared,
                                               const QByteArray &text, const Values &values)
{
    Command command{prepared->name, text, values};
    if (prepared->state == Prepared::State::Unsent) {
        prepared->state = Prepared::State::Sending;
        command.preparing = prepared;
    }
    return command;
}

pg_result *PgConnection::takeReadAhead(const QByteArray &text, const Values &values)
{
    // A read within a transaction, or behind commands still waiting, sees what they leave.
    if (m_inTransaction || !m_queue.empty())
        return nullptr;
    const auto found = m_ahead.find(keyOf(text, values));
    if (found == m_ahead.end())
        return nullptr;
    pg_result *result = found->second;
    m_ahead.erase(found);
    return result;
}

bool PgConnection::send(const Command &command)
{
    if (command.preparing && (pq().PQsendPrepare(m_conn, command.name.constData(),
                                                 command.text.constData(), 0, nullptr) != 1 ||
                              pq().PQsendDescribePrepared(m_conn, command.name.constData()) != 1))
        return false;
    if (!command.executing)
        return true;
    std::vector<const char *> values;
    for (const auto &value : command.values)
        values.push_back(value ? value->constData() : nullptr);
    if (command.name.isEmpty())
        return pq().PQsendQueryParams(m_conn, command.text.constData(), 0, nullptr, nullptr,
                                      nullptr, nullptr, 0) == 1;
    return pq().PQsendQueryPrepared(m_conn, command.name.constData(), int(values.size()),
                                    values.data(), nullptr, nullptr, 0) == 1;
}

pg_result *PgConnection::nextResult()
{
    pg_result *first = nullptr;
    while (pg_result *result = pq().PQgetResult(m_conn)) {
        if (!first)
            first = result;
        else
            pq().PQclear(result);
    }
    return first;
}

pg_result *PgConnection::answerOf(const Command &command)
{
    if (command.preparing) {
        pg_result *made = nextResult();
        pg_result *described = nextResult();
        const auto succeeded = [](pg_result *result) {
            return result && pq().PQresultStatus(result) == PGRES_COMMAND_OK;
        };
        if (!succeeded(made) || !succeeded(described)) {
            // The failure is the command's answer; what was not run after it is not waited for.
            pg_result *told = succeeded(made) ? described : made;
            pq().PQclear(told == made ? described : made);
            if (command.executing)
                pq().PQclear(nextResult());
            return told;
        }
        pq().PQclear(made);
        takePreparation(*command.preparing, described);
        if (!command.executing)
            return described;
        pq().PQclear(described);
    }
    return nextResult();
}

pg_result *PgConnection::flush(bool committing)
{
    if (m_queue.empty())
        return nullptr;
    const std::vector<Command> commands = std::move(m_queue);
    m_queue.clear();
    const std::vector<Read> ahead =
        !m_inTransaction || committing ? readAhead() : std::vector<Read>();
    const std::optional<size_t> readsSent = sendAll(commands, ahead);
    ++m_roundTrips;
    std::vector<pg_result *> results;
    std::vector<pg_result *> reads;
    if (readsSent) {
        for (const Command &command : commands)
            results.push_back(answerOf(command));
        pq().PQclear(pq().PQgetResult(m_conn));
        for (size_t i = 0; i < *readsSent; ++i)
            reads.push_back(nextResult());
        if (*readsSent)
            pq().PQclear(pq().PQgetResult(m_conn));
    }
    if (pq().PQexitPipelineMode(m_conn) != 1)
        m_lost = true;
    abandon(commands);
    keepReadAhead(ahead, reads);
    return takeResults(results, commands.size(), committing);
}

std::optional<size_t> PgConnection::sendAll(const std::vector<Command> &commands,
                                            const std::vector<Read> &ahead)
{
    // One message, one wait: the commands, a sync that ends them, and what is read ahead
    // behind a sync of its own, so that a failed commit does not stop the reads.
    bool sent = pq().PQenterPipelineMode(m_conn) == 1;
    for (const Command &command : commands) {
        beforeCommand();
        sent = sent && send(command);
    }
    sent = sent && pq().PQpipelineSync(m_conn) == 1;
    size_t readsSent = 0;
    for (const Read &read : ahead) {
        if (sent && send({m_prepared.at(read.text)->name, read.text, read.values}))
            ++readsSent;
    }
    if (readsSent)
        sent = pq().PQpipelineSync(m_conn) == 1;
    return sent ? std::optional<size_t>(readsSent) : std::nullopt;
}

void PgConnection::keepReadAhead(const std::vector<Read> &ahead,
                                 const std::vector<pg_result *> &reads) noexcept
{
    for (size_t i = 0; i < reads.size(); ++i) {
        if (reads[i] && pq().PQresultStatus(reads[i]) == PGRES_TUPLES_OK)
            m_ahead[keyOf(ahead[i].text, ahead[i].values)] = reads[i];
        else
            pq().PQclear(reads[i]);
    }
}

pg_result *PgConnection::takeResults(std::vector<pg_result *> &results, size_t commands,
                                     bool committing)
{
    // The first failure in the order sent is the one told; the commands after it were not run.
    size_t failed = commands;
    for (size_t i = 0; i < commands && failed == commands; ++i) {
        pg_result *result = i < results.size() ? results[i] : nullptr;
        const ExecStatusType status = result ? pq().PQresultStatus(result) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            counted(result);
        else if (status != PGRES_PIPELINE_ABORTED)
            failed = i;
    }
    results.resize(commands, nullptr);
    pg_result *kept = failed < commands ? results[failed] : results.back();
    for (pg_result *result : results) {
        if (result != kept)
            pq().PQclear(result);
    }
    if (failed < commands) {
        dropReadAhead();
        checked(kept, committing && failed + 1 == commands);
    }
    return kept;
}

bool PgConnection::sameTable(const QString &first, const QString &second) const
{
    return first == second;
}

void PgConnection::createTable(const QString &name, const char *columns)
{
    runOne(QStringLiteral("CREATE TABLE ") + quotedTable(name) + QLatin1Char('\n') +
           QString::fromUtf8(columns));
}

void PgConnection::createTimeLog(const QString &name)
{
    createTable(name, serverTimeLogSql);
    if (m_roles)
        shareTimeLog(*this, *m_roles, name);
}

void PgConnection::changeOwnPassword(const QString &password)
{
    const QByteArray typed = password.toUtf8();
    char *verifier =
        pq().PQencryptPasswordConn(m_conn, typed.constData(), pq().PQuser(m_conn), nullptr);
    if (!verifier)
        throw DbError(dberr::ServerRefused, firstLine(pq().PQerrorMessage(m_conn)));
    const QByteArray text(verifier);
    pq().PQfreemem(verifier);
    // A verifier is the method's name, digits and base64: nothing a quoted text must escape.
    if (text.contains('\'') || text.contains('\\'))
        throw DbError(dberr::ServerRefused, QStringLiteral("The server made an unreadable "
                                                           "password verifier."));
    exec(QStringLiteral("ALTER ROLE CURRENT_USER PASSWORD '") + QString::fromLatin1(text) +
         QLatin1Char('\''));
}

void PgConnection::createEmployeeTables()
{
    createTable(EmployeeList, serverEmployeeListSql);
    createTable(CompanyTable, serverCompanySql);
}

void PgConnection::createHistory()
{
    createTable(HistoryTable, serverHistorySql);
    // The clocks' account may add entries but neither change nor remove one; only the
    // table's owner could take the triggers away.
    const QString refusal = quotedTable(QStringLiteral("horalink keeps its history"));
    runOne(QStringLiteral("CREATE OR REPLACE FUNCTION ") + refusal +
           QStringLiteral("() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION "
                          "'The change history keeps its entries as written.'; END $$"));
    runOne(QStringLiteral("CREATE TRIGGER \"entries stay\" BEFORE UPDATE OR DELETE ON ") +
           quotedTable(HistoryTable) + QStringLiteral(" FOR EACH ROW EXECUTE FUNCTION ") + refusal +
           QStringLiteral("()"));
    runOne(QStringLiteral("CREATE TRIGGER \"history stays\" BEFORE TRUNCATE ON ") +
           quotedTable(HistoryTable) + QStringLiteral(" FOR EACH STATEMENT EXECUTE FUNCTION ") +
           refusal + QStringLiteral("()"));
    requireDeliveredOnce(*this);
}

QString PgConnection::account() const
{
    return QString::fromUtf8(pq().PQuser(m_conn));
}

QString PgConnection::location() const
{
    return whereOf(m_conn);
}

} // namespace horalink
