#include "history.h"

#include "clock/clock.h"
#include "db/connection.h"
#include "db/datetimetext.h"

#include <array>
#include <QJsonDocument>
#include <QJsonValue>

namespace horalink {

namespace {

constexpr std::array<std::pair<ChangeKind, const char *>, 12> KindTexts{{
    {ChangeKind::StampCorrected, "stamp corrected"},
    {ChangeKind::GridEdit, "grid edit"},
    {ChangeKind::DeletedLast, "deleted last"},
    {ChangeKind::Cleared, "cleared"},
    {ChangeKind::EmployeeAdded, "employee added"},
    {ChangeKind::EmployeeDeleted, "employee deleted"},
    {ChangeKind::EmployeeChanged, "employee changed"},
    {ChangeKind::PasswordChanged, "password changed"},
    {ChangeKind::SwitchChanged, "switch changed"},
    {ChangeKind::CompanyNamed, "company named"},
    {ChangeKind::Exported, "exported"},
    {ChangeKind::Delivered, "delivered"},
}};

QJsonValue fieldValue(const Statement &row, int column, bool password)
{
    if (password)
        return !row.isNull(column) && !row.value(column).toString().isEmpty();
    return QJsonValue::fromVariant(row.value(column));
}

QVariant jsonText(const QJsonObject &fields)
{
    if (fields.isEmpty())
        return {};
    return QString::fromUtf8(QJsonDocument(fields).toJson(QJsonDocument::Compact));
}

QString systemAccount()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("USERNAME") : user;
}

std::optional<QJsonObject> jsonFields(const Statement &row, int column)
{
    if (row.isNull(column))
        return std::nullopt;
    return QJsonDocument::fromJson(row.value(column).toString().toUtf8()).object();
}

// The columns are asked of the catalog and named: a server keeps a statement prepared for
// all columns, which fails once a column is added, as the sign-off switch adds its own.
QString imageColumns(Connection &connection, const QString &table)
{
    const QStringList columns = connection.columnNames(table);
    return columns.isEmpty() ? QStringLiteral("rowid")
                             : QStringLiteral("rowid, ") + quotedList(columns);
}

// The rows a statement gives, its first column the rowid; the employee list's passwords only
// as whether there is one.
std::vector<RowImage> imagesOf(Statement &rows, bool list)
{
    std::vector<RowImage> images;
    while (rows.step()) {
        RowImage image{rows.integer(0), {}};
        // A server's own rowid comes again with the other fields.
        for (int column = 1; column < rows.columnCount(); ++column) {
            const QString name = rows.columnName(column);
            if (name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0)
                continue;
            const bool password =
                list && name.compare(QLatin1String("epass"), Qt::CaseInsensitive) == 0;
            image.fields.insert(name, fieldValue(rows, column, password));
        }
        images.push_back(std::move(image));
    }
    return images;
}

void requireHistory(Connection &connection)
{
    if (!connection.tableExists(HistoryTable))
        connection.createHistory();
}

} // namespace

const QStringList HistoryFields = {"changed", "changed_utc", "who",    "account", "kind",
                                   "subject", "row_id",      "before", "after"};

QString changeKindText(ChangeKind kind)
{
    for (const auto &[known, text] : KindTexts) {
        if (known == kind)
            return QLatin1String(text);
    }
    return {};
}

std::optional<ChangeKind> changeKindFromText(const QString &text)
{
    for (const auto &[known, stored] : KindTexts) {
        if (text == QLatin1String(stored))
            return known;
    }
    return std::nullopt;
}

std::vector<RowImage> rowImages(Connection &connection, const QString &table,
                                const QString &condition, const QVariantList &values)
{
    Statement rows(connection, QStringLiteral("SELECT ") + imageColumns(connection, table) +
                                   QStringLiteral(" FROM ") + connection.quotedTable(table) +
                                   QStringLiteral(" WHERE ") + condition +
                                   QStringLiteral(" ORDER BY 1"));
    for (int i = 0; i < values.size(); ++i)
        rows.bind(i + 1, values[i]);
    return imagesOf(rows, connection.sameTable(table, EmployeeList));
}

std::optional<RowImage> rowImage(Connection &connection, const QString &table, qint64 rowid)
{
    auto images = rowImages(connection, table, QStringLiteral("rowid = ?1"), {rowid});
    if (images.empty())
        return std::nullopt;
    return std::move(images.front());
}

std::vector<RowImage> allRowImages(Connection &connection, const QString &table)
{
    return rowImages(connection, table, QStringLiteral("1 = 1"));
}

QJsonObject fieldsOf(const QStringList &names, const QVariantList &values)
{
    QJsonObject fields;
    for (qsizetype i = 0; i < names.size() && i < values.size(); ++i)
        fields.insert(names[i], QJsonValue::fromVariant(values[i]));
    return fields;
}

void recordChange(Connection &connection, ChangeKind kind, const QString &table,
                  std::optional<qint64> row, const QJsonObject &before, const QJsonObject &after)
{
    requireHistory(connection);
    // The local wall clock is the one the stamps are read against; UTC tells the moment
    // apart in the hour a clock change repeats.
    const QDateTime utc = QDateTime::currentDateTimeUtc();
    Statement insert(connection,
                     QStringLiteral("INSERT INTO ") + connection.quotedTable(HistoryTable) +
                         QStringLiteral(" (") + quotedList(HistoryFields) +
                         QStringLiteral(") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"));
    insert.bind(1, storedStamp(clock().now()))
        .bind(2, utc.toString(Qt::ISODate))
        .bind(3, connection.author())
        .bind(4, systemAccount())
        .bind(5, changeKindText(kind))
        .bind(6, table)
        .bind(7, row ? QVariant(*row) : QVariant())
        .bind(8, jsonText(before))
        .bind(9, jsonText(after))
        .run();
}

void recordAdded(Connection &connection, ChangeKind kind, const QString &table)
{
    const QString last = QStringLiteral("rowid = (SELECT max(rowid) FROM ") +
                         connection.quotedTable(table) + QLatin1Char(')');
    for (const RowImage &row : rowImages(connection, table, last))
        recordChange(connection, kind, table, row.rowid, {}, row.fields);
}

void recordEdit(Connection &connection, ChangeKind kind, const QString &table,
                const RowImage &before)
{
    const auto after = rowImage(connection, table, before.rowid);
    const QJsonObject afterFields = after ? after->fields : QJsonObject();
    if (afterFields != before.fields)
        recordChange(connection, kind, table, before.rowid, before.fields, afterFields);
}

qint64 removeRows(Connection &connection, std::optional<ChangeKind> kind, const QString &table,
                  const QString &condition, const QVariantList &values)
{
    const auto removed =
        kind ? rowImages(connection, table, condition, values) : std::vector<RowImage>();
    Statement remove(connection, QStringLiteral("DELETE FROM ") + connection.quotedTable(table) +
                                     QStringLiteral(" WHERE ") + condition);
    for (int i = 0; i < values.size(); ++i)
        remove.bind(i + 1, values[i]);
    remove.run();
    const qint64 count = connection.changes();
    // A server that holds this account to some of the rows (the clocks may remove only a
    // log's last event) deletes the rest silently; what was asked is done whole or not at all.
    if (kind && count != qint64(removed.size()))
        throw DbError(dberr::NotPermitted,
                      QStringLiteral("Only the Manager may remove these events on the shared "
                                     "database; nothing was removed."));
    for (const RowImage &row : removed)
        recordChange(connection, *kind, table, row.rowid, row.fields, {});
    return count;
}

bool removeLastRow(Connection &connection, ChangeKind kind, const QString &table)
{
    const QString quoted = connection.quotedTable(table);
    Statement remove(connection, QStringLiteral("DELETE FROM ") + quoted +
                                     QStringLiteral(" WHERE rowid = (SELECT max(rowid) FROM ") +
                                     quoted + QStringLiteral(") RETURNING ") +
                                     imageColumns(connection, table));
    const std::vector<RowImage> removed = imagesOf(remove, false);
    if (removed.empty()) {
        // A server that holds this account to some of the rows removes none silently.
        Statement any(connection,
                      QStringLiteral("SELECT 1 FROM ") + quoted + QStringLiteral(" LIMIT 1"));
        if (any.step())
            throw DbError(dberr::NotPermitted,
                          QStringLiteral("Only the Manager may remove this event on the shared "
                                         "database; nothing was removed."));
        return false;
    }
    recordChange(connection, kind, table, removed.front().rowid, removed.front().fields, {});
    return true;
}

std::vector<HistoryEntry> readHistory(Connection &connection)
{
    std::vector<HistoryEntry> entries;
    if (!connection.tableExists(HistoryTable))
        return entries;
    Statement rows(connection, QStringLiteral("SELECT ") + quotedList(HistoryFields) +
                                   QStringLiteral(" FROM ") + connection.quotedTable(HistoryTable) +
                                   QStringLiteral(" ORDER BY rowid"));
    while (rows.step()) {
        const QString changed = rows.value(0).toString();
        entries.push_back({parseStoredStamp(changed),
                           QDateTime::fromString(rows.value(1).toString(), Qt::ISODate),
                           rows.value(2).toString(), rows.value(3).toString(),
                           rows.value(4).toString(), rows.value(5).toString(),
                           rows.isNull(6) ? std::nullopt : std::optional(rows.integer(6)),
                           jsonFields(rows, 7), jsonFields(rows, 8)});
    }
    return entries;
}

} // namespace horalink
