#include "roster.h"

#include "db/connection.h"

#include <QSet>

namespace horalink {

QList<ListedEmployee> listedEmployees(Connection &connection)
{
    Statement rows(connection, QStringLiteral("SELECT ename, ewage FROM ") +
                                   connection.quotedTable(EmployeeList) +
                                   QStringLiteral(" ORDER BY rowid"));
    QList<ListedEmployee> out;
    QSet<QString> seen;
    while (rows.step()) {
        const QString name = rows.value(0).toString();
        if (name.isEmpty() || seen.contains(name))
            continue;
        seen.insert(name);
        out << ListedEmployee{name, rows.value(1)};
    }
    return out;
}

std::optional<EmployeeRow> findEmployee(Connection &connection, const QString &name)
{
    Statement row(connection, QStringLiteral("SELECT epass, ewage FROM ") +
                                  connection.quotedTable(EmployeeList) +
                                  QStringLiteral(" WHERE ename = ?1 ORDER BY rowid LIMIT 1"));
    row.bind(1, name);
    if (!row.step())
        return std::nullopt;
    return EmployeeRow{name, row.value(0).toString(), row.value(1).toString()};
}

bool isListed(Connection &connection, const QString &name)
{
    return findEmployee(connection, name).has_value();
}

QList<EmployeeRow> employeeRows(Connection &connection)
{
    Statement rows(connection, QStringLiteral("SELECT ename, epass, ewage FROM ") +
                                   connection.quotedTable(EmployeeList) +
                                   QStringLiteral(" ORDER BY rowid"));
    QList<EmployeeRow> out;
    QSet<QString> seen;
    while (rows.step()) {
        const QString name = rows.value(0).toString();
        if (name.isEmpty() || seen.contains(name))
            continue;
        seen.insert(name);
        out << EmployeeRow{name, rows.value(1).toString(), rows.value(2).toString()};
    }
    return out;
}

qint64 countListRows(Connection &connection)
{
    Statement count(connection,
                    QStringLiteral("SELECT count(*) FROM ") + connection.quotedTable(EmployeeList));
    count.step();
    return count.integer(0);
}

} // namespace horalink
