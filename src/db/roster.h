#pragma once

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace horalink {

class Connection;

// The one account that manages the others, listed in every file from the start.
inline const QString ManagerName = QStringLiteral("Manager");

struct ListedEmployee
{
    QString name;
    // `ewage` as stored: the text the manager typed, or Null.
    QVariant wage;
};

// The employee list in stored order, each name once with the first row that lists it: a name
// listed twice has one time log. A row without a name has no log and is passed over.
QList<ListedEmployee> listedEmployees(Connection &connection);

// The name of every row of the employee list in stored order, as its browser walks it: a name
// listed twice comes twice, and a row without a name gives an empty one.
QStringList listRowNames(Connection &connection);

// One row of the employee list as sign-on needs it.
struct EmployeeRow
{
    QString name;
    // `epass` as stored (a hash, or in older files the password as typed); empty when the
    // employee has no password.
    QString password;
    QString wage;

    bool operator==(const EmployeeRow &) const = default;
};

// The first row, in stored order, listing exactly this name: letter case counts, nothing is
// trimmed.
std::optional<EmployeeRow> findEmployee(Connection &connection, const QString &name);
bool isListed(Connection &connection, const QString &name);
// Every name of the list with the first row that lists it, in stored order, as sign-on reads
// each.
QList<EmployeeRow> employeeRows(Connection &connection);

} // namespace horalink
