#pragma once

#include "db/serverroles.h"

#include <functional>
#include <optional>
#include <QString>

namespace horalink {

class Connection;
class PgConnection;

// Told after each table copied: the tables copied so far of all tables. The copy stops,
// leaving nothing behind, when it returns false.
using TableProgress = std::function<bool(int copied, int total)>;

// Creates the tables of a fresh employee database in a database on a server, in one
// transaction: the list holding only Manager, Manager's empty time log and an empty company
// table. A database that already holds a table is refused, and nothing is written. With the
// accounts named, each is granted what it may do (grantRoles) in the same transaction.
void initServerDatabase(PgConnection &server, const std::optional<ServerRoles> &roles = {});

// Copies the whole file, as it stands at one moment, into a database on a server that holds
// no table yet: the employee list and the company table in their stored order, and every
// time log, those of deleted employees kept for a later one of the same name included. One
// transaction: on any failure nothing is written, and the failure names the table and row.
void copyFileToServer(Connection &file, PgConnection &server,
                      const std::optional<ServerRoles> &roles = {});

// Writes the server's database, as it stood at one moment while the time clocks go on, into a
// new file of this name, as a NewFile: it takes its name only when it is whole and on the
// disk, and nothing at the name, a link least of all, is ever replaced or written through.
// Returns false, leaving no file, when the progress asked to stop.
bool copyServerToFile(PgConnection &server, const QString &fileName,
                      const TableProgress &progress = {});

} // namespace horalink
