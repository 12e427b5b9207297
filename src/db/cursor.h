#pragma once

#include "db/dberror.h"

#include <functional>
#include <memory>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace horalink {

class Connection;
class Statement;
enum class ChangeKind;

// A typed edit a row would not take, and the field it was typed for.
class BoundEditRefused : public DbError
{
public:
    BoundEditRefused(int number, QString description, QString field)
        : DbError(number, std::move(description)), m_field(std::move(field))
    {}
    const QString &field() const { return m_field; }

private:
    QString m_field;
};

// A cursor over one table of the program's database in stored (insertion) order. It reads one
// row at a time, so a long log costs no more to browse than a short one.
class Cursor : public QObject
{
    Q_OBJECT

public:
    Cursor();
    ~Cursor() override;

    void setRecordSource(const QString &table);
    QString recordSource() const { return m_source; }

    // (Re)opens the record source and stands on its first row, or at end-of-file.
    void refresh();
    bool isOpen() const { return m_position != Position::Closed; }
    bool eof() const { return m_position == Position::Eof; }
    bool bof() const { return m_position == Position::Bof; }
    bool hasCurrentRow() const { return m_position == Position::Row && !m_deleted; }
    // Whether the record source holds any row at all.
    bool hasRows();
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();
    void close();

    // A field of the current row, by name in any letter case; date/time fields come back as
    // QDateTime.
    QVariant field(const QString &name) const;

    // Writes texts typed for fields of the current row, a date and time read as people type
    // one; a value the row will not take is refused with a BoundEditRefused naming the fields,
    // and the row keeps what it held.
    void writeTyped(const std::vector<std::pair<QString, QString>> &typed);

    // Runs before the cursor leaves its row by any move, refresh, change of table or close:
    // the place where what was typed on the row is written to it.
    void setBeforeLeaving(std::function<void()> beforeLeaving);

    // A cursor of the Manager's functions reads and writes through the Manager's connection
    // while there is one (managingDatabase).
    void setManaging(bool managing) { m_managing = managing; }
    Connection &connection() const;

signals:
    // The cursor stands on another row, or the row it stands on changed.
    void currentChanged();

private:
    enum class Position
    {
        Closed,
        Bof,
        Row,
        Eof
    };
    struct SqlAround
    {
        const char *before;
        const char *after;
    };
    // What typed texts are stored as: the fields, their assignments and the values bound to
    // them, each stamp in the form the file keeps.
    struct TypedEdit
    {
        QStringList fields;
        QStringList assignments;
        QVariantList values;
    };

    void requireOpen() const;
    void leave();
    void prepare();
    // Reads the row the query finds (after the rowid given, for the moves by one) into the
    // cursor; false, the cursor's row kept, when it finds none.
    bool fetch(Statement &query, qint64 after);
    void standOnFound(Statement &query, qint64 after, Position whenNone);
    void loadRow();
    QString sql(const SqlAround &around) const;
    // The row's rowid and fields from the record source, with what follows FROM and its name.
    QString rowSql(const char *after) const;
    Statement &query(std::unique_ptr<Statement> &slot, const char *after);
    void moveToEnd(Statement &query);
    // One row on toward the end given; from the other end, the row nearest it.
    void moveOne(Position toward);
    TypedEdit editOf(const std::vector<std::pair<QString, QString>> &typed) const;
    // Stores the edit in the row with the history entry it makes, both or neither.
    void storeEdit(const TypedEdit &edit);
    int columnIndex(const QString &name) const;
    // What the history calls an edit of this table's row.
    ChangeKind editKind() const;

    QString m_source;
    bool m_managing = false;
    Position m_position = Position::Closed;
    qint64 m_rowid = 0;
    bool m_deleted = false;
    QStringList m_names;
    QString m_selected;
    std::vector<bool> m_isDateTime;
    QVariantList m_values;
    std::function<void()> m_beforeLeaving;
    // Prepared once per record source: moving costs one indexed lookup, not a new statement.
    std::unique_ptr<Statement> m_rowQuery;
    std::unique_ptr<Statement> m_firstQuery;
    std::unique_ptr<Statement> m_lastQuery;
    std::unique_ptr<Statement> m_nextQuery;
    std::unique_ptr<Statement> m_previousQuery;
};

// A program switch counts as on only when it holds exactly 1.
bool isFlagOn(const QVariant &value);

// Finds the first row, in stored order, whose field equals the name exactly (letter case
// counts, nothing is trimmed, Null equals nothing). On success the cursor stands on it.
template <class Rows> bool findByName(Rows &rows, const QString &field, const QString &name)
{
    rows.moveFirst();
    while (!rows.eof()) {
        const QVariant value = rows.field(field);
        if (!value.isNull() && value.toString() == name)
            return true;
        rows.moveNext();
    }
    return false;
}

} // namespace horalink
