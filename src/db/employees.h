#pragma once

#include <QDateTime>
#include <QString>

namespace horalink {

class Connection;

// A new row of the employee list, each value exactly as the manager typed it.
struct NewEmployee
{
    QString name;
    QString wage;
    QString password;
    QString comment;
};

// Whether two employee names would reach the same time log: the file matches table names
// without regard to the case of the letters A to Z, and of no other letters.
bool namesClash(const QString &first, const QString &second);

// Whether the name has a table shaped as a time log (the four fields, in any letter case).
bool hasTimeLog(Connection &connection, const QString &name);

enum class AddOutcome
{
    Added,
    NameTaken,
};

// Lists the employee and gives him or her a time log, both or neither. A name that clashes
// with a listed employee's is refused as taken. A time log of the name that no listed
// employee owns (left behind by a deletion) is reused as it is. A name the file cannot carry
// as a table, or one already used by a table that is no time log, fails with a DbError and
// nothing is written.
AddOutcome addEmployee(Connection &connection, const NewEmployee &employee);

// Empties the employee's time log and removes every row of the list with exactly this name,
// both or neither. The emptied table stays for a later employee of the same name. A log that
// another listed employee shares (their names differ only in letter case) is left as it is,
// and so is a table of the name that is no time log.
void deleteEmployee(Connection &connection, const QString &name);

// Deletes, in one step, the events of a time log stamped in a minute before the ending's
// minute and then the clock-out the log may be left starting with. Fails with a DbError,
// deleting nothing, when the table is no time log.
void clearEventsBefore(Connection &connection, const QString &table, const QDateTime &ending);

// Deletes every event of a time log; the table stays. Fails with a DbError, deleting
// nothing, when the table is no time log.
void clearTimeLog(Connection &connection, const QString &table);

} // namespace horalink
