#pragma once

#include <QDateTime>
#include <QString>

namespace horalink {

class Connection;

// A new row of the employee list, each value exactly as the manager typed it; the password is
// stored as its hash.
struct NewEmployee
{
    QString name;
    QString wage;
    QString password;
    QString comment;
};

// A new employee's name as it is stored: in Unicode's composed form (NFC), so that a name
// typed with a separate accent is the same text as one typed with an accented letter.
QString storedName(const QString &typed);
// Why a new employee's name cannot be used, or an empty text when it can: control and
// invisible formatting characters, and blanks at either end, which make one name look like
// another ("Manager ").
QString nameRefusal(const QString &name);
// Whether two names are one employee: equal after NFC and letter case folding ("José" typed
// either way, "ann" and "Ann"). Such names would also reach the same time log, as the file
// matches table names without regard to the case of the letters A to Z.
bool sameEmployee(const QString &first, const QString &second);

// Whether the name has a table shaped as a time log (the four fields, in any letter case).
bool hasTimeLog(Connection &connection, const QString &name);

enum class AddOutcome
{
    Added,
    NameTaken,
};

// Lists the employee and gives him or her a time log, both or neither. A name that is the
// same employee as a listed one is refused as taken. A time log of exactly the name that no
// listed employee owns (left behind by a deletion) is reused as it is. A name nameRefusal
// refuses, one that reaches another table of the database as the file matches table names
// (the employee list, a log of another spelling, a table that is no time log), and one that
// begins with the engines' prefixes "sqlite_" or "pg_", in any letter case, fails with a
// DbError numbered dberr::BadTableName whose description says why; nothing is written.
AddOutcome addEmployee(Connection &connection, const NewEmployee &employee);

// Stores a new password for the first employee listed with exactly this name, as its hash
// (an empty password as no password). Returns whether the name was found.
// The Manager's password, where the server checks it, changes on the server in the same
// step; an empty one, which would lock the Manager out, is refused there.
bool storePassword(Connection &connection, const QString &name, const QString &password);

// Whether the database holds a password's hash, or ever stored one as its history tells: from
// then on no password of it is kept as typed.
bool holdsPasswordHashes(Connection &connection);
// The employees, in stored order, whose password the list holds as typed.
QStringList namesWithTypedPassword(Connection &connection);

// Empties the employee's time log and removes every row of the list with exactly this name,
// both or neither. The emptied table stays for a later employee of the same name. A log that
// another listed employee shares (their names differ only in letter case) is left as it is,
// and so is a table of the name that is no time log.
void deleteEmployee(Connection &connection, const QString &name);

enum class ClearMode
{
    Delete,
    // Deletes nothing: says how many events Delete would delete now.
    Count,
};

// Deletes, in one step, the events of a time log stamped in a minute before the ending's
// minute and then the clock-out the log may be left starting with; returns how many events
// went. Fails with a DbError, deleting nothing, when the table is no time log.
qint64 clearEventsBefore(Connection &connection, const QString &table, const QDateTime &ending,
                         ClearMode mode = ClearMode::Delete);

// Deletes every event of a time log; the table stays. Fails with a DbError, deleting
// nothing, when the table is no time log.
void clearTimeLog(Connection &connection, const QString &table);

} // namespace horalink
