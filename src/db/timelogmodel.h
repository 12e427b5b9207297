#pragma once

#include <optional>
#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace horalink {

class Connection;

// The rows of one time log for a grid, in stored order, every field a column. Rows are read
// in pages as the grid scrolls to them, so a long log opens at once. Cells can be edited and
// are checked like any other write; rows are never added or removed here.
class TimeLogModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    TimeLogModel(Connection &connection, const QString &table, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // Reads the log again when anything was written to the file since it was read, so the
    // grid never shows, or edits, an event that is no longer there.
    void refreshIfChanged();

signals:
    // A cell edit the row would not take, and why.
    void refused(const QString &reason);

private:
    struct Row
    {
        qint64 rowid;
        QVariantList values;
    };

    QVariant shown(int row, int column) const;
    // The value a typed cell text stores; nothing, after telling why, when it cannot be one.
    std::optional<QVariant> storedValue(int column, const QString &text);
    bool write(int row, int column, const QVariant &stored);
    // The row as the cell's write left it; nothing when the row is no longer as the grid
    // shows it.
    std::optional<QVariantList> update(int row, int column, const QVariant &stored);
    void readAgain();

    Connection &m_connection;
    QString m_table;
    QStringList m_names;
    std::vector<bool> m_isDateTime;
    std::vector<Row> m_rows;
    bool m_complete = false;
    qint64 m_readAtChange = 0;
};

} // namespace horalink
