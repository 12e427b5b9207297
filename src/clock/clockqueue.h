#pragma once

#include "db/delivery.h"
#include "db/roster.h"
#include "db/settings.h"

#include <map>
#include <optional>
#include <QList>
#include <QString>
#include <vector>

namespace horalink {

// The files of a server clock's data folder that let it go on while the server is away: the
// events it kept, and what it knew of the company when it last reached the server.
inline const QString QueueFileName = QStringLiteral("Horalink queue.json");
inline const QString KnownFileName = QStringLiteral("Horalink clock.json");

// What the clock read of the server when it last reached it.
struct ClockKnowledge
{
    QString company;
    Switches switches;
    // The list as sign-on reads it, password hashes included: the clocks' account reads them
    // on the server too, and a file clock keeps them in its data folder all the same.
    QList<EmployeeRow> employees;
    // Each employee's last status as last read or stored at this clock (a row without one
    // reads as empty); nothing for an empty log. An employee missing here is one the clock
    // knows nothing of.
    std::map<QString, std::optional<QString>> lastStatus;

    bool operator==(const ClockKnowledge &) const = default;
};

// The queue of kept events and the clock's knowledge, each in its file in the data folder.
// Every change is written whole to a new file that takes the old one's place in one step,
// synced to the disk before the change returns: a clock killed at any moment leaves the old
// queue or the new one, and an event once kept survives.
class ClockQueue
{
public:
    // Reads the folder's files; a clock without them starts with an empty queue, knowing
    // nothing, under an id of its own. A file that cannot be read is a DbError: its events are
    // never set aside unseen.
    explicit ClockQueue(QString folder);

    // The clock's id, 32 hexadecimal digits, made once and kept in the queue.
    const QString &clockId() const { return m_clockId; }
    const std::vector<ClockEvent> &events() const { return m_events; }
    const ClockKnowledge &knowledge() const { return m_knowledge; }
    // Whether the clock ever read the server's employee list, which always lists the Manager.
    bool knowsEmployees() const { return !m_knowledge.employees.isEmpty(); }

    // The status of the employee's last event as this clock knows it, kept events counted, as
    // lastStatus reads it of a log (nothing for an empty log); nothing at all when the clock
    // knows nothing of the employee.
    std::optional<std::optional<QString>> lastStatus(const QString &employee) const;

    // Throws a DbError when the file cannot be written, which then holds what it held.
    void keep(const ClockEvent &event);
    // The first kept event reached the server: it leaves the queue, and its status is known.
    void sent();
    // What the clock learns is kept for this run even when its file cannot be written: the
    // clock still works while its server answers. Why the file was not written is told by
    // unsavedKnowledge, empty once it was.
    void learnStatus(const QString &employee, const std::optional<QString> &status);
    void learnCompany(const QString &company);
    void learnSwitches(const Switches &switches);
    void learnEmployees(const QList<EmployeeRow> &employees);
    const QString &unsavedKnowledge() const { return m_unsaved; }

private:
    void writeQueue(const std::vector<ClockEvent> &events);
    // Writes the knowledge when it differs from what the file holds.
    void learn(const ClockKnowledge &knowledge);

    QString m_folder;
    QString m_clockId;
    std::vector<ClockEvent> m_events;
    ClockKnowledge m_knowledge;
    bool m_knownOnDisk = false;
    QString m_unsaved;
};

// 32 hexadecimal digits from the system's source of random bytes.
QString randomId();

} // namespace horalink
