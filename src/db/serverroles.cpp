#include "serverroles.h"

#include "db/delivery.h"
#include "db/postgres.h"

#include <QRegularExpression>

namespace horalink {

namespace {

const QString RolesWord = QStringLiteral("horalink-roles");

QString role(const QString &name)
{
    return quoteIdentifier(name);
}

void requireRole(PgConnection &server, const QString &name)
{
    if (!isRoleName(name))
        throw DbError(dberr::ServerRefused,
                      QLatin1Char('\'') + name +
                          QStringLiteral("' cannot name an account of the database: it takes "
                                         "lower-case letters, digits and underscores."));
    Statement found(server, QStringLiteral("SELECT 1 FROM pg_catalog.pg_roles WHERE rolname = ?1"));
    found.bind(1, name);
    if (!found.step())
        throw DbError(dberr::ServerRefused,
                      QStringLiteral("The server has no account '") + name +
                          QStringLiteral("'; its administrator makes it first, as the README "
                                         "shows."));
}

void grantOnTable(PgConnection &server, const QString &privileges, const QString &table,
                  const QString &grantees)
{
    server.runOne(QStringLiteral("GRANT ") + privileges + QStringLiteral(" ON ") +
                  server.quotedTable(table) + QStringLiteral(" TO ") + grantees);
}

QString clocksAndManager(const ServerRoles &roles)
{
    return role(roles.clocks) + QStringLiteral(", ") + role(roles.manager);
}

// Only the clocks' and the Manager's accounts use the schema; only the Manager's makes tables
// in it.
void grantOnSchema(PgConnection &server, const ServerRoles &roles, const QString &schema)
{
    server.runOne(QStringLiteral("REVOKE ALL ON SCHEMA ") + schema +
                  QStringLiteral(" FROM PUBLIC"));
    server.runOne(QStringLiteral("GRANT USAGE ON SCHEMA ") + schema + QStringLiteral(" TO ") +
                  clocksAndManager(roles));
    // Add employee makes the new employee's time log.
    server.runOne(QStringLiteral("GRANT CREATE ON SCHEMA ") + schema + QStringLiteral(" TO ") +
                  role(roles.manager));
}

} // namespace

bool isRoleName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[a-z][a-z0-9_]{0,62}$"));
    return pattern.match(name).hasMatch();
}

QString rolesText(const ServerRoles &roles)
{
    return RolesWord + QStringLiteral(" clocks=") + roles.clocks + QStringLiteral(" manager=") +
           roles.manager + QStringLiteral(" keeper=") + roles.keeper;
}

std::optional<ServerRoles> rolesFromText(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^horalink-roles clocks=(\\S+) manager=(\\S+) keeper=(\\S+)$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    ServerRoles roles{match.captured(1), match.captured(2), match.captured(3)};
    if (!isRoleName(roles.clocks) || !isRoleName(roles.manager) || !isRoleName(roles.keeper))
        return std::nullopt;
    return roles;
}

void shareTimeLog(PgConnection &server, const ServerRoles &roles, const QString &table)
{
    const QString quoted = server.quotedTable(table);
    grantOnTable(server, QStringLiteral("SELECT, INSERT, DELETE, UPDATE (\"datetime\")"), table,
                 role(roles.clocks));
    grantOnTable(server, QStringLiteral("SELECT, INSERT, UPDATE, DELETE"), table,
                 role(roles.manager) + QStringLiteral(", ") + role(roles.keeper));
    // The clocks may take back an employee's last event (Delete Last), never clear a log:
    // the server, not the program, holds them to the last row.
    server.runOne(QStringLiteral("ALTER TABLE ") + quoted +
                  QStringLiteral(" ENABLE ROW LEVEL SECURITY"));
    for (const char *policy : {"\"every row\"", "\"clocks remove only the last\""})
        server.runOne(QStringLiteral("DROP POLICY IF EXISTS ") + QLatin1String(policy) +
                      QStringLiteral(" ON ") + quoted);
    server.runOne(QStringLiteral("CREATE POLICY \"every row\" ON ") + quoted +
                  QStringLiteral(" USING (true) WITH CHECK (true)"));
    server.runOne(QStringLiteral("CREATE POLICY \"clocks remove only the last\" ON ") + quoted +
                  QStringLiteral(" AS RESTRICTIVE FOR DELETE TO ") + role(roles.clocks) +
                  QStringLiteral(" USING (\"rowid\" = (SELECT max(\"rowid\") FROM ") + quoted +
                  QStringLiteral("))"));
}

void grantRoles(PgConnection &server, const ServerRoles &roles)
{
    for (const QString &name : {roles.clocks, roles.manager, roles.keeper})
        requireRole(server, name);
    const QString schema = quoteIdentifier(server.schema());
    grantOnSchema(server, roles, schema);
    if (!server.tableExists(HistoryTable))
        server.createHistory();
    // A history made before clocks kept events while the server was away gains the rule.
    requireDeliveredOnce(server);
    for (const QString &table : {EmployeeList, CompanyTable}) {
        grantOnTable(server, QStringLiteral("SELECT"), table, role(roles.clocks));
        grantOnTable(server, QStringLiteral("SELECT, INSERT, UPDATE, DELETE"), table,
                     role(roles.manager));
    }
    grantOnTable(server, QStringLiteral("SELECT, INSERT"), HistoryTable, clocksAndManager(roles));
    for (const QString &table : server.tableNames()) {
        if (table != EmployeeList && table != CompanyTable && table != HistoryTable)
            shareTimeLog(server, roles, table);
    }
    // Role names hold nothing a quoted text would need to escape.
    server.runOne(QStringLiteral("COMMENT ON SCHEMA ") + schema + QStringLiteral(" IS '") +
                  rolesText(roles) + QLatin1Char('\''));
    server.setRoles(roles);
}

} // namespace horalink
