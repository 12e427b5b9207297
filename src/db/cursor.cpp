#include "cursor.h"

#include "db/connection.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "db/history.h"

namespace horalink {

namespace {

// What follows the table in the queries that find the last row, and the row after or before
// the one the cursor stands on.
const char *const LastRow = " ORDER BY rowid DESC LIMIT 1";
const char *const NextRow = " WHERE rowid > ?1 ORDER BY rowid LIMIT 1";
const char *const PreviousRow = " WHERE rowid < ?1 ORDER BY rowid DESC LIMIT 1";

DbError noCurrentRecord()
{
    return DbError(dberr::NoCurrentRecord, QStringLiteral("No current record."));
}

} // namespace

Cursor::Cursor() = default;

Cursor::~Cursor() = default;

Connection &Cursor::connection() const
{
    return m_managing ? managingDatabase() : openDatabase(EmployeeMdb);
}

void Cursor::setRecordSource(const QString &table)
{
    // What was typed belongs to the row it was typed on: it is stored there, or dropped, before
    // the cursor turns to another table, never carried over to a row of the new one.
    close();
    m_source = table;
}

void Cursor::setBeforeLeaving(std::function<void()> beforeLeaving)
{
    m_beforeLeaving = std::move(beforeLeaving);
}

void Cursor::leave()
{
    if (m_position != Position::Closed && m_beforeLeaving)
        m_beforeLeaving();
}

void Cursor::refresh()
{
    leave();
    prepare();
    standOnFound(*m_firstQuery, 0, Position::Eof);
}

QString Cursor::sql(const SqlAround &around) const
{
    return QLatin1String(around.before) + connection().quotedTable(m_source) +
           QLatin1String(around.after);
}

QString Cursor::rowSql(const char *after) const
{
    return m_selected + QStringLiteral(" FROM ") + connection().quotedTable(m_source) +
           QLatin1String(after);
}

void Cursor::prepare()
{
    Connection &file = connection();
    m_names = file.columnNames(m_source);
    // Every query that finds a row brings the row along: a move costs one lookup, never a
    // second one for the fields.
    m_selected = m_names.isEmpty() ? QStringLiteral("SELECT rowid")
                                   : QStringLiteral("SELECT rowid, ") + quotedList(m_names);
    // Prepared first: a missing table is reported here, in the engine's own words.
    m_firstQuery = std::make_unique<Statement>(file, rowSql(" ORDER BY rowid LIMIT 1"));
    m_rowQuery = std::make_unique<Statement>(file, rowSql(" WHERE rowid = ?1"));
    // The others are prepared when first needed: a refresh is as cheap as it can be.
    m_lastQuery.reset();
    m_nextQuery.reset();
    m_previousQuery.reset();
    m_isDateTime.clear();
    for (int i = 1; i < m_rowQuery->columnCount(); ++i)
        m_isDateTime.push_back(m_rowQuery->isDateTime(i));
}

Statement &Cursor::query(std::unique_ptr<Statement> &slot, const char *after)
{
    if (!slot)
        slot = std::make_unique<Statement>(connection(), rowSql(after));
    return *slot;
}

void Cursor::requireOpen() const
{
    if (m_position == Position::Closed)
        throw DbError(dberr::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
}

bool Cursor::fetch(Statement &query, qint64 after)
{
    query.reset();
    if (after)
        query.bind(1, after);
    m_values.clear();
    if (!query.step()) {
        query.reset();
        return false;
    }
    m_rowid = query.integer(0);
    for (int i = 0; i < m_names.size(); ++i) {
        QVariant value = query.value(i + 1);
        if (m_isDateTime[i] && value.typeId() == QMetaType::QString) {
            const QDateTime stamp = parseStoredStamp(value.toString());
            if (stamp.isValid())
                value = stamp;
        }
        m_values << value;
    }
    query.reset();
    return true;
}

void Cursor::standOnFound(Statement &query, qint64 after, Position whenNone)
{
    m_deleted = false;
    if (fetch(query, after)) {
        m_position = Position::Row;
    } else {
        m_rowid = 0;
        m_position = whenNone;
    }
    emit currentChanged();
}

void Cursor::loadRow()
{
    // Another cursor may have deleted the row under this one.
    m_deleted = m_position == Position::Row && !fetch(*m_rowQuery, m_rowid);
}

bool Cursor::hasRows()
{
    if (!isOpen())
        return false;
    m_firstQuery->reset();
    const bool any = m_firstQuery->step();
    m_firstQuery->reset();
    return any;
}

void Cursor::moveFirst()
{
    requireOpen();
    moveToEnd(*m_firstQuery);
}

void Cursor::moveLast()
{
    requireOpen();
    moveToEnd(query(m_lastQuery, LastRow));
}

void Cursor::moveToEnd(Statement &query)
{
    leave();
    const qint64 was = m_rowid;
    const QVariantList held = m_values;
    if (!fetch(query, 0)) {
        m_rowid = was;
        m_values = held;
        throw noCurrentRecord();
    }
    m_deleted = false;
    m_position = Position::Row;
    emit currentChanged();
}

void Cursor::moveNext()
{
    moveOne(Position::Eof);
}

void Cursor::movePrevious()
{
    moveOne(Position::Bof);
}

void Cursor::moveOne(Position toward)
{
    requireOpen();
    if (m_position == toward)
        throw noCurrentRecord();
    leave();
    const bool forward = toward == Position::Eof;
    if (m_position == (forward ? Position::Bof : Position::Eof))
        standOnFound(forward ? *m_firstQuery : query(m_lastQuery, LastRow), 0, toward);
    else if (forward)
        standOnFound(query(m_nextQuery, NextRow), m_rowid, toward);
    else
        standOnFound(query(m_previousQuery, PreviousRow), m_rowid, toward);
}

void Cursor::close()
{
    leave();
    m_rowQuery.reset();
    m_firstQuery.reset();
    m_lastQuery.reset();
    m_nextQuery.reset();
    m_previousQuery.reset();
    m_position = Position::Closed;
    m_values.clear();
}

int Cursor::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_names.size(); ++i) {
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw DbError(dberr::ItemNotFound, QStringLiteral("Item not found in this collection: '") +
                                           name + QStringLiteral("'."));
}

QVariant Cursor::field(const QString &name) const
{
    requireOpen();
    const int column = columnIndex(name);
    if (m_position != Position::Row)
        throw noCurrentRecord();
    if (m_deleted)
        throw DbError(dberr::RecordDeleted, QStringLiteral("Record is deleted."));
    return m_values.value(column);
}

void Cursor::writeTyped(const std::vector<std::pair<QString, QString>> &typed)
{
    if (typed.empty())
        return;
    if (!hasCurrentRow())
        throw noCurrentRecord();
    const TypedEdit edit = editOf(typed);
    try {
        storeEdit(edit);
    } catch (const DbError &error) {
        throw BoundEditRefused(error.number(), error.description(),
                               edit.fields.join(QLatin1String(", ")));
    }
    loadRow();
    emit currentChanged();
}

Cursor::TypedEdit Cursor::editOf(const std::vector<std::pair<QString, QString>> &typed) const
{
    TypedEdit edit;
    for (const auto &[name, text] : typed) {
        const int column = columnIndex(name);
        edit.fields << m_names[column];
        edit.assignments << quoteIdentifier(m_names[column]) + QStringLiteral(" = ?");
        if (!m_isDateTime[column]) {
            edit.values << text;
            continue;
        }
        const auto stamp = readDateTime(text);
        if (!stamp)
            throw BoundEditRefused(dberr::CancelledByBoundDisplay,
                                   QLatin1Char('"') + text +
                                       QStringLiteral("\" is not a date and time"),
                                   m_names[column]);
        edit.values << storedStamp(*stamp);
    }
    return edit;
}

void Cursor::storeEdit(const TypedEdit &edit)
{
    Transaction transaction(connection());
    const auto before = rowImage(connection(), m_source, m_rowid);
    Statement write(connection(), sql({"UPDATE ", " SET "}) +
                                      edit.assignments.join(QLatin1String(", ")) +
                                      QStringLiteral(" WHERE rowid = ?"));
    for (int i = 0; i < edit.values.size(); ++i)
        write.bind(i + 1, edit.values[i]);
    write.bind(int(edit.values.size()) + 1, m_rowid);
    write.run();
    if (before)
        recordEdit(connection(), editKind(), m_source, *before);
    transaction.commit();
}

ChangeKind Cursor::editKind() const
{
    return connection().sameTable(m_source, EmployeeList) ? ChangeKind::EmployeeChanged
                                                          : ChangeKind::StampCorrected;
}

bool isFlagOn(const QVariant &value)
{
    bool number = false;
    const double flag = value.toDouble(&number);
    return !value.isNull() && number && flag == 1.0;
}

} // namespace horalink
