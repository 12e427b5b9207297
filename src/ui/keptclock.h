#pragma once

#include "db/roster.h"
#include "db/settings.h"

#include <optional>
#include <QString>
#include <QStringList>

namespace horalink {

class ClockQueue;
class DbError;

// A server clock goes on while its server is away with what it read of the server when it
// last reached it, and the events it keeps meanwhile, in its data folder. A clock on the file
// keeps nothing.

// The queue of the data folder the program runs in; nothing on a clock on the file.
ClockQueue *clockQueue();

// Whether the clock can go on without the server after this failure: the server is out of
// reach, and the clock has read the employee list before.
bool goesOnAway(const DbError &error);

// The company's name, the switches and the employees, from the server when it answers (and
// kept for the time it does not), else as last read.
std::optional<QString> companyHere();
Switches switchesHere();
Settings settingsHere();
QStringList namesHere();
std::optional<EmployeeRow> employeeHere(const QString &name);
// Whether the last of these reads found the server away.
bool serverAwayNow();
// Where the data is, as the About page tells it.
QString locationHere();

class Connection;
// Who the history names for the changes of this clock from now on; a clock that started while
// the server was away names them once it reaches it (serverHere).
void setAuthorHere(const QString &author);
// The server's database, named for the author as set; a DbError while it is away.
Connection &serverHere();

// Shown after a clock-in or clock-out kept on the clock.
inline const QString KeptNote =
    QStringLiteral("Saved on this clock; it will be sent when the server can be reached.");
// Shown once the last kept event reached the server.
inline const QString SentNote =
    QStringLiteral("Everything saved on this clock has been sent to the server.");

} // namespace horalink
