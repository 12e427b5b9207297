#include "settings.h"

#include "db/connection.h"
#include "db/cursor.h"
#include "db/history.h"

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
    Transaction transaction(connection, CompanyTable);
    const QString company = connection.quotedTable(CompanyTable);
    const auto before =
        rowImages(connection, CompanyTable,
                  QStringLiteral("rowid = (SELECT min(rowid) FROM ") + company + QLatin1Char(')'));
    Statement update(connection, QStringLiteral("UPDATE ") + company + QStringLiteral(" SET ") +
                                     quoteIdentifier(QLatin1String(columnOf(which))) +
                                     QStringLiteral(" = ?1 WHERE rowid = ?2"));
    // Without the company's row there is no switch to store.
    if (before.empty())
        return;
    update.bind(1, on ? 1 : 0).bind(2, before.front().rowid).run();
    recordEdit(connection, ChangeKind::SwitchChanged, CompanyTable, before.front());
    transaction.commit();
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
    Transaction transaction(connection, CompanyTable);
    Statement insert(connection, QStringLiteral("INSERT INTO ") +
                                     connection.quotedTable(CompanyTable) +
                                     QStringLiteral(" (\"company\") VALUES (?1)"));
    insert.bind(1, name).run();
    recordAdded(connection, ChangeKind::CompanyNamed, CompanyTable);
    transaction.commit();
}

} // namespace horalink
