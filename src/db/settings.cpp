#include "settings.h"

#include "db/connection.h"
#include "db/cursor.h"

namespace horalink {

namespace {

const char *columnOf(Switch which)
{
    switch (which) {
    case Switch::Edits:
        return "edits";
    case Switch::Money:
        return "money";
    case Switch::Subs:
        break;
    }
    return "subs";
}

int columnIndex(const Statement &row, const char *name)
{
    for (int i = 0; i < row.columnCount(); ++i) {
        if (row.columnName(i).compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return i;
    }
    throw DbError(dberr::ItemNotFound, QStringLiteral("Item not found in this collection: '") +
                                           QLatin1String(name) + QStringLiteral("'."));
}

} // namespace

Switches readSwitches(Connection &connection)
{
    Statement row(connection, QStringLiteral("SELECT * FROM ") +
                                  connection.quotedTable(CompanyTable) +
                                  QStringLiteral(" ORDER BY rowid LIMIT 1"));
    const int edits = columnIndex(row, columnOf(Switch::Edits));
    const int money = columnIndex(row, columnOf(Switch::Money));
    const int subs = columnIndex(row, columnOf(Switch::Subs));
    if (!row.step())
        return {};
    return {isFlagOn(row.value(edits)), isFlagOn(row.value(money)), isFlagOn(row.value(subs))};
}

void storeSwitch(Connection &connection, Switch which, bool on)
{
    const QString company = connection.quotedTable(CompanyTable);
    Statement update(connection,
                     QStringLiteral("UPDATE ") + company + QStringLiteral(" SET ") +
                         quoteIdentifier(QLatin1String(columnOf(which))) +
                         QStringLiteral(" = ?1 WHERE rowid = (SELECT min(rowid) FROM ") + company +
                         QLatin1Char(')'));
    update.bind(1, on ? 1 : 0).run();
}

std::optional<QString> readCompany(Connection &connection)
{
    Statement row(connection, QStringLiteral("SELECT * FROM ") +
                                  connection.quotedTable(CompanyTable) +
                                  QStringLiteral(" ORDER BY rowid LIMIT 1"));
    const int company = columnIndex(row, "company");
    if (!row.step())
        return std::nullopt;
    return row.value(company).toString();
}

void storeCompany(Connection &connection, const QString &name)
{
    Statement insert(connection, QStringLiteral("INSERT INTO ") +
                                     connection.quotedTable(CompanyTable) +
                                     QStringLiteral(" (\"company\") VALUES (?1)"));
    insert.bind(1, name).run();
}

} // namespace horalink
