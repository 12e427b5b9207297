#pragma once

#include <optional>
#include <QString>

namespace horalink {

class PgConnection;

// The accounts of a database shared by several time clocks. The clocks' account signs on,
// reads, appends events and corrects stamps; the Manager's account, whose password is the
// Manager's, does everything else; the keeper, the account the tables were set up with, owns
// them and is the only one that could take the change history's guards away.
struct ServerRoles
{
    QString clocks;
    QString manager;
    QString keeper;
};

// Whether a name may be given to an account of the database: lower-case letters, digits and
// underscores, starting with a letter, as the server keeps unquoted names.
bool isRoleName(const QString &name);

// Grants each account what it may do on every table of the database and records who they
// are; the accounts exist already, made once by the server's administrator. Runs within the
// caller's transaction, as the keeper.
void grantRoles(PgConnection &server, const ServerRoles &roles);

// The grants and row rules of one time log, for a log made after the accounts were set up:
// by the Manager's Add employee, or by the tool's copy.
void shareTimeLog(PgConnection &server, const ServerRoles &roles, const QString &table);

// What a schema's description tells of its accounts, and back; nothing when it tells none.
QString rolesText(const ServerRoles &roles);
std::optional<ServerRoles> rolesFromText(const QString &text);

} // namespace horalink
