#include "timelogmodel.h"

#include "db/connection.h"
#include "db/datetimetext.h"
#include "db/history.h"
#include "db/timelog.h"

#include <QJsonObject>

namespace horalink {

namespace {

constexpr int PageSize = 256;

} // namespace

TimeLogModel::TimeLogModel(Connection &connection, const QString &table, QObject *parent)
    : QAbstractTableModel(parent), m_connection(connection), m_table(table)
{
    // Prepared first: a missing table is reported here, in the engine's own words.
    Statement(m_connection, QStringLiteral("SELECT rowid FROM ") + m_connection.quotedTable(table) +
                                QStringLiteral(" LIMIT 0"));
    m_names = m_connection.columnNames(table);
    Statement shape(m_connection, QStringLiteral("SELECT ") + quotedList(m_names) +
                                      QStringLiteral(" FROM ") + m_connection.quotedTable(table) +
                                      QStringLiteral(" LIMIT 0"));
    for (int i = 0; i < shape.columnCount(); ++i)
        m_isDateTime.push_back(shape.isDateTime(i));
    m_readAtChange = m_connection.totalChanges();
    fetchMore({});
}

int TimeLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TimeLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant TimeLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Each column is headed by its field's name as the table holds it.
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_names.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool TimeLogModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_complete;
}

void TimeLogModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || m_complete)
        return;
    Statement page(m_connection, QStringLiteral("SELECT rowid, ") + quotedList(m_names) +
                                     QStringLiteral(" FROM ") + m_connection.quotedTable(m_table) +
                                     QStringLiteral(" WHERE rowid > ?1 ORDER BY rowid LIMIT ?2"));
    page.bind(1, m_rows.empty() ? 0 : m_rows.back().rowid).bind(2, PageSize);
    std::vector<Row> fetched;
    while (page.step()) {
        Row row{page.integer(0), {}};
        for (int i = 0; i < m_names.size(); ++i)
            row.values << page.value(i + 1);
        fetched.push_back(std::move(row));
    }
    m_complete = fetched.size() < PageSize;
    if (fetched.empty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + fetched.size()) - 1);
    std::move(fetched.begin(), fetched.end(), std::back_inserter(m_rows));
    endInsertRows();
}

void TimeLogModel::refreshIfChanged()
{
    if (m_connection.totalChanges() != m_readAtChange)
        readAgain();
}

void TimeLogModel::readAgain()
{
    const size_t shown = m_rows.size();
    beginResetModel();
    m_rows.clear();
    m_complete = false;
    m_readAtChange = m_connection.totalChanges();
    endResetModel();
    while (m_rows.size() < shown && !m_complete)
        fetchMore({});
}

QVariant TimeLogModel::shown(int row, int column) const
{
    const QVariant value = m_rows[row].values.value(column);
    if (value.isNull())
        return QString();
    if (m_isDateTime[column]) {
        const QDateTime stamp = parseStoredStamp(value.toString());
        if (stamp.isValid())
            return generalDateText(stamp);
    }
    return value.toString();
}

QVariant TimeLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return shown(index.row(), index.column());
}

Qt::ItemFlags TimeLogModel::flags(const QModelIndex &index) const
{
    // Only cells are edited; the table itself, the root of every index, is no cell.
    if (!index.isValid())
        return QAbstractTableModel::flags(index);
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

std::optional<QVariant> TimeLogModel::storedValue(int column, const QString &text)
{
    if (m_isDateTime[column]) {
        const auto stamp = readDateTime(text);
        if (!stamp) {
            emit refused(InvalidDateTime);
            return std::nullopt;
        }
        return storedStamp(*stamp);
    }
    // A status the clock does not know would leave the employee unable to clock in or out.
    if (m_names[column].compare(QLatin1String("inoutfx"), Qt::CaseInsensitive) == 0 &&
        text != ClockedIn && text != ClockedOut) {
        emit refused(QStringLiteral("The status must be \"") + ClockedIn +
                     QStringLiteral("\" or \"") + ClockedOut + QStringLiteral("\"."));
        return std::nullopt;
    }
    return text;
}

bool TimeLogModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const QString text = value.toString();
    if (text == shown(index.row(), index.column()).toString())
        return false;
    const auto stored = storedValue(index.column(), text);
    if (!stored)
        return false;
    if (!write(index.row(), index.column(), *stored))
        return false;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

// Writes one cell, but only into the row as the grid shows it: a row deleted or changed since
// (its place possibly taken by a new event) is left alone, and the grid reads the log again.
// The write gives back the row as stored, which the history and the grid take from there.
bool TimeLogModel::write(int row, int column, const QVariant &stored)
{
    try {
        Transaction transaction(m_connection, m_table, Writes::Batched);
        if (const auto after = update(row, column, stored)) {
            const QJsonObject before = fieldsOf(m_names, m_rows[row].values);
            const QJsonObject written = fieldsOf(m_names, *after);
            if (written != before)
                recordChange(m_connection, ChangeKind::GridEdit, m_table, m_rows[row].rowid, before,
                             written);
            transaction.commit();
            m_rows[row].values = *after;
            m_readAtChange = m_connection.totalChanges();
            return true;
        }
    } catch (const DbError &error) {
        emit refused(error.description());
        return false;
    }
    emit refused(QStringLiteral("The event was changed or removed since the grid was read; the "
                                "grid now shows the log as it is."));
    readAgain();
    return false;
}

std::optional<QVariantList> TimeLogModel::update(int row, int column, const QVariant &stored)
{
    QString sql = QStringLiteral("UPDATE ") + m_connection.quotedTable(m_table) +
                  QStringLiteral(" SET ") + quoteIdentifier(m_names[column]) +
                  QStringLiteral(" = ? WHERE rowid = ?");
    for (const QString &name : m_names)
        sql += QStringLiteral(" AND ") + quoteIdentifier(name) +
               QStringLiteral(" IS NOT DISTINCT FROM ?");
    Statement update(m_connection, sql + QStringLiteral(" RETURNING ") + quotedList(m_names));
    update.bind(1, stored).bind(2, m_rows[row].rowid);
    int at = 3;
    for (const QVariant &old : m_rows[row].values)
        update.bind(at++, old);
    if (!update.step())
        return std::nullopt;
    QVariantList after;
    for (int i = 0; i < m_names.size(); ++i)
        after << update.value(i);
    update.run();
    return after;
}

} // namespace horalink
