#include "keptclock.h"

#include "clock/clockqueue.h"
#include "clock/keptclocking.h"
#include "db/database.h"
#include "db/dberror.h"

#include <algorithm>
#include <memory>
#include <QDir>

namespace horalink {

namespace {

struct KeptQueue
{
    QString folder;
    std::unique_ptr<ClockQueue> queue;
};

KeptQueue &kept()
{
    static KeptQueue held;
    return held;
}

bool &away()
{
    static bool found = false;
    return found;
}

// What a read came to: the server answered, or it is away and the clock goes on.
void answered()
{
    away() = false;
}

void goOnAway(const DbError &error)
{
    if (!goesOnAway(error))
        throw;
    away() = true;
}

QString &author()
{
    static QString named;
    return named;
}

// The employee list as the logon window shows it: sorted, letter case aside.
QStringList sortedNames(QStringList names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QStringList namesOf(const QList<EmployeeRow> &employees)
{
    QStringList names;
    for (const EmployeeRow &employee : employees)
        names << employee.name;
    return names;
}

} // namespace

ClockQueue *clockQueue()
{
    if (serverConnectionString().isEmpty())
        return nullptr;
    KeptQueue &held = kept();
    // The program runs in its data folder; a test starts it again in another.
    const QString folder = QDir::currentPath();
    if (!held.queue || held.folder != folder) {
        held.queue.reset();
        held.queue = std::make_unique<ClockQueue>(folder);
        held.folder = folder;
    }
    return held.queue.get();
}

bool goesOnAway(const DbError &error)
{
    const ClockQueue *queue = clockQueue();
    return queue && queue->knowsEmployees() && serverAway(error);
}

std::optional<QString> companyHere()
{
    try {
        const std::optional<QString> company = readCompany(openDatabase(EmployeeMdb));
        if (ClockQueue *queue = clockQueue(); queue && company)
            queue->learnCompany(*company);
        return company;
    } catch (const DbError &error) {
        goOnAway(error);
        return clockQueue()->knowledge().company;
    }
}

Switches switchesHere()
{
    try {
        const Switches switches = readSwitches(openDatabase(EmployeeMdb));
        if (ClockQueue *queue = clockQueue())
            queue->learnSwitches(switches);
        return switches;
    } catch (const DbError &error) {
        goOnAway(error);
        return clockQueue()->knowledge().switches;
    }
}

Settings settingsHere()
{
    return {companyHere(), switchesHere()};
}

QStringList namesHere()
{
    ClockQueue *queue = clockQueue();
    if (!queue) {
        QStringList names;
        for (const ListedEmployee &employee : listedEmployees(openDatabase(EmployeeMdb)))
            names << employee.name;
        return sortedNames(names);
    }
    try {
        const QList<EmployeeRow> employees = employeeRows(openDatabase(EmployeeMdb));
        queue->learnEmployees(employees);
        return sortedNames(namesOf(employees));
    } catch (const DbError &error) {
        goOnAway(error);
        return sortedNames(namesOf(queue->knowledge().employees));
    }
}

std::optional<EmployeeRow> employeeHere(const QString &name)
{
    try {
        auto found = findEmployee(openDatabase(EmployeeMdb), name);
        answered();
        return found;
    } catch (const DbError &error) {
        goOnAway(error);
        for (const EmployeeRow &employee : clockQueue()->knowledge().employees) {
            if (employee.name == name)
                return employee;
        }
        return std::nullopt;
    }
}

bool serverAwayNow()
{
    return away();
}

QString locationHere()
{
    try {
        return openDatabase(EmployeeMdb).location();
    } catch (const DbError &error) {
        goOnAway(error);
        return serverConnectionString();
    }
}

void setAuthorHere(const QString &name)
{
    author() = name;
    try {
        openDatabase(EmployeeMdb).setAuthor(name);
    } catch (const DbError &error) {
        if (!goesOnAway(error))
            throw;
    }
}

Connection &serverHere()
{
    Connection &server = openDatabase(EmployeeMdb);
    server.setAuthor(author());
    return server;
}

} // namespace horalink
