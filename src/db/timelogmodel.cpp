#include "timelogmodel.h"

#include "db/datetimetext.h"
#include "db/sqlite.h"

namespace horalink {

namespace {
constexpr int PageSize = 256;
}

TimeLogModel::TimeLogModel(Connection &connection, const QString &table, QObject *parent)
    : QAbstractTableModel(parent), m_connection(connection), m_table(table)
{
    Statement shape(m_connection,
                    QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoteIdentifier(table)));
    for (int i = 0; i < shape.columnCount(); ++i) {
        m_names << shape.columnName(i);
        m_isDateTime.push_back(
            shape.declaredType(i).compare(QLatin1String("DATETIME"), Qt::CaseInsensitive) == 0);
    }
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

bool TimeLogModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_complete;
}

void TimeLogModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || m_complete)
        return;
    Statement page(m_connection, QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid > ?1 "
                                                "ORDER BY rowid LIMIT %2")
                                     .arg(quoteIdentifier(m_table))
                                     .arg(PageSize));
    page.bind(1, m_rows.empty() ? 0 : m_rows.back().rowid);
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
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool TimeLogModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int column = index.column();
    const QString text = value.toString();
    if (text == shown(index.row(), column).toString())
        return false;
    QVariant stored = text;
    if (m_isDateTime[column]) {
        const auto stamp = readDateTime(text);
        if (!stamp) {
            emit refused(
                QStringLiteral("Invalid Date / Time.  Please correct the entry and try again"));
            return false;
        }
        stored = storedStamp(*stamp);
    }
    try {
        Statement write(m_connection,
                        QStringLiteral("UPDATE %1 SET %2 = ?1 WHERE rowid = ?2")
                            .arg(quoteIdentifier(m_table), quoteIdentifier(m_names[column])));
        write.bind(1, stored).bind(2, m_rows[index.row()].rowid).run();
    } catch (const DbError &error) {
        emit refused(error.description());
        return false;
    }
    reload(index.row());
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

void TimeLogModel::reload(int row)
{
    Statement read(
        m_connection,
        QStringLiteral("SELECT * FROM %1 WHERE rowid = ?1").arg(quoteIdentifier(m_table)));
    read.bind(1, m_rows[row].rowid);
    if (!read.step())
        return;
    for (int i = 0; i < m_names.size(); ++i)
        m_rows[row].values[i] = read.value(i);
}

} // namespace horalink
