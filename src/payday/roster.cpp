#include "roster.h"

#include "db/sqlite.h"

#include <QSet>

namespace horalink {

QList<ListedEmployee> listedEmployees(Connection &connection)
{
    Statement rows(connection, QStringLiteral("SELECT ename, ewage FROM datalist ORDER BY rowid"));
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

} // namespace horalink
