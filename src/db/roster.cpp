#include "roster.h"

#include "db/connection.h"

#include <functional>
#include <QSet>

namespace horalink {

namespace {

// Each name of the list once, at its first row, with the fields after it; rows without a
// name are passed over.
template <typename Row>
QList<Row> eachListed(Connection &connection, const QString &fields,
                      const std::function<Row(const QString &, const Statement &)> &row)
{
    Statement rows(connection, QStringLiteral("SELECT ename, ") + fields +
                                   QStringLiteral(" FROM ") + connection.quotedTable(EmployeeList) +
                                   QStringLiteral(" ORDER BY rowid"));
    QList<Row> out;
    QSet<QString> seen;
    while (rows.step()) {
        const QString name = rows.value(0).toString();
        if (name.isEmpty() || seen.contains(name))
            continue;
        seen.insert(name);
        out << row(name, rows);
    }
    return out;
}

} // namespace

QList<ListedEmployee> listedEmployees(Connection &connection)
{
    return eachListed<ListedEmployee>(connection, QStringLiteral("ewage"),
                                      [](const QString &name, const Statement &rows) {
                                          return ListedEmployee{name, rows.value(1)};
                                      });
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
    return eachListed<EmployeeRow>(
        connection, QStringLiteral("epass, ewage"), [](const QString &name, const Statement &rows) {
            return EmployeeRow{name, rows.value(1).toString(), rows.value(2).toString()};
        });
}

QStringList listRowNames(Connection &connection)
{
    Statement rows(connection, QStringLiteral("SELECT ename FROM ") +
                                   connection.quotedTable(EmployeeList) +
                                   QStringLiteral(" ORDER BY rowid"));
    QStringList names;
    while (rows.step())
        names << rows.value(0).toString();
    return names;
}

} // namespace horalink
