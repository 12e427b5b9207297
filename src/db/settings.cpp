#include "settings.h"

#include "db/connection.h"
#include "db/cursor.h"
#include "db/history.h"

#include <algorithm>
#include <array>
#include <vector>

namespace horalink {

namespace {

// Each switch with its column in "Company Data" and its place among the Switches.
struct SwitchField
{
    Switch which;
    const char *column;
    bool Switches::*flag;
};

constexpr std::array<SwitchField, 4> SwitchFields{{
    {Switch::Edits, "edits", &Switches::edits},
    {Switch::Money, "money", &Switches::money},
    {Switch::Subs, "subs", &Switches::subs},
    {Switch::Signoff, "signoff", &Switches::signoff},
}};

const SwitchField &fieldOf(Switch which)
{
    const auto found =
        std::find_if(SwitchFields.begin(), SwitchFields.end(),
                     [which](const SwitchField &field) { return field.which == which; });
    return found == SwitchFields.end() ? SwitchFields.back() : *found;
}

const char *columnOf(Switch which)
{
    return fieldOf(which).column;
}

// A field of "Company Data" as the settings read it: one that files made before it lack
// reads as Null.
struct Field
{
    const char *name;
    bool optional = false;
};

// The table's own spelling of the column, or nothing when it has no such column.
std::optional<QString> columnNamed(const QStringList &present, const char *name)
{
    const auto found = std::find_if(present.begin(), present.end(), [name](const QString &column) {
        return column.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    });
    if (found == present.end())
        return std::nullopt;
    return *found;
}

// The fields of the first row of "Company Data", in the order asked; nothing while there is no
// row. The columns are asked of the catalog first and then named: a statement prepared for
// all columns would fail once another time clock on the server adds one. Without the table,
// the engine says so.
std::optional<QVariantList> firstRow(Connection &connection, std::initializer_list<Field> fields)
{
    const QStringList present = connection.columnNames(CompanyTable);
    QStringList selected;
    std::vector<int> positions;
    for (const Field &field : fields) {
        const auto column = columnNamed(present, field.name);
        if (!column && field.optional) {
            positions.push_back(-1);
            continue;
        }
        if (!column && !present.isEmpty())
            throw DbError(dberr::ItemNotFound,
                          QStringLiteral("Item not found in this collection: '") +
                              QLatin1String(field.name) + QStringLiteral("'."));
        positions.push_back(int(selected.size()));
        selected << column.value_or(QLatin1String(field.name));
    }
    Statement row(connection, QStringLiteral("SELECT ") + quotedList(selected) +
                                  QStringLiteral(" FROM ") + connection.quotedTable(CompanyTable) +
                                  QStringLiteral(" ORDER BY rowid LIMIT 1"));
    if (!row.step())
        return std::nullopt;
    QVariantList values;
    for (const int position : positions)
        values << (position < 0 ? QVariant() : row.value(position));
    return values;
}

bool hasColumn(Connection &connection, const char *name)
{
    return columnNamed(connection.columnNames(CompanyTable), name).has_value();
}

// Files and servers made before the sign-off switch lack its column; it is added only when
// the switch is first stored, so that merely reading an older file never changes it.
void addMissingColumn(Connection &connection, Switch which)
{
    const char *name = columnOf(which);
    if (which != Switch::Signoff || hasColumn(connection, name))
        return;
    try {
        Statement(connection,
                  QStringLiteral("ALTER TABLE ") + connection.quotedTable(CompanyTable) +
                      QStringLiteral(" ADD COLUMN ") + quoteIdentifier(QLatin1String(name)) +
                      QStringLiteral(" SMALLINT"))
            .run();
    } catch (const DbError &) {
        // A second time clock on the same server may have added it a moment before.
        if (!hasColumn(connection, name))
            throw;
    }
}

} // namespace

Switches readSwitches(Connection &connection)
{
    const auto row = firstRow(connection, {{columnOf(Switch::Edits)},
                                           {columnOf(Switch::Money)},
                                           {columnOf(Switch::Subs)},
                                           {columnOf(Switch::Signoff), true}});
    if (!row)
        return {};
    return {isFlagOn(row->at(0)), isFlagOn(row->at(1)), isFlagOn(row->at(2)), isFlagOn(row->at(3))};
}

void Switches::set(Switch which, bool on)
{
    this->*fieldOf(which).flag = on;
}

void storeSwitch(Connection &connection, Switch which, bool on)
{
    addMissingColumn(connection, which);
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
    const auto row = firstRow(connection, {{"company"}});
    if (!row)
        return std::nullopt;
    return row->at(0).toString();
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
