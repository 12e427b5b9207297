#include "datacontrol.h"

#include "db/connection.h"
#include "db/database.h"
#include "db/datetimetext.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QToolButton>

namespace horalink {

namespace {

// The table's quoted name goes between the two halves of each statement.
const DataControl::SqlAround LastRowSql{"SELECT rowid FROM ", " ORDER BY rowid DESC LIMIT 1"};
const DataControl::SqlAround NextRowSql{"SELECT rowid FROM ",
                                        " WHERE rowid > ?1 ORDER BY rowid LIMIT 1"};
const DataControl::SqlAround PreviousRowSql{"SELECT rowid FROM ",
                                            " WHERE rowid < ?1 ORDER BY rowid DESC LIMIT 1"};

QToolButton *navigatorButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QString displayText(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDateTime)
        return generalDateText(value.toDateTime());
    return value.toString();
}

} // namespace

DataControl::DataControl(const QString &name, QWidget *parent)
    : QWidget(parent), m_databaseName(EmployeeMdb), m_caption(new QLabel(this))
{
    setObjectName(name);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *first = navigatorButton(QStringLiteral("first"), QStringLiteral("|<"), this);
    auto *previous = navigatorButton(QStringLiteral("previous"), QStringLiteral("<"), this);
    auto *next = navigatorButton(QStringLiteral("next"), QStringLiteral(">"), this);
    auto *last = navigatorButton(QStringLiteral("last"), QStringLiteral(">|"), this);
    m_caption->setFrameShape(QFrame::Panel);
    m_caption->setFrameShadow(QFrame::Sunken);
    layout->addWidget(first);
    layout->addWidget(previous);
    layout->addWidget(m_caption, 1);
    layout->addWidget(next);
    layout->addWidget(last);

    connect(first, &QToolButton::clicked, this, [this] { navigate(&DataControl::moveFirst); });
    connect(last, &QToolButton::clicked, this, [this] { navigate(&DataControl::moveLast); });
    connect(previous, &QToolButton::clicked, this, [this] {
        navigate(&DataControl::movePrevious);
        if (bof())
            moveFirst();
    });
    connect(next, &QToolButton::clicked, this, [this] {
        navigate(&DataControl::moveNext);
        if (eof())
            moveLast();
    });
}

DataControl::~DataControl() = default;

void DataControl::setDatabaseName(const QString &name)
{
    m_databaseName = name;
}

void DataControl::setRecordSource(const QString &table)
{
    // What was typed belongs to the row it was typed on: it is stored there, or dropped, before
    // the control turns to another table, never carried over to a row of the new one.
    if (m_position != Position::Closed) {
        leaveRow();
        close();
    }
    m_source = table;
}

void DataControl::setCaption(const QString &caption)
{
    m_caption->setText(caption);
}

QString DataControl::caption() const
{
    return m_caption->text();
}

Connection &DataControl::connection() const
{
    return openDatabase(m_databaseName);
}

QString DataControl::quotedSource() const
{
    return quoteIdentifier(m_source);
}

void DataControl::refresh()
{
    if (m_position != Position::Closed)
        leaveRow();
    m_editMode = EditMode::None;
    m_pending.clear();
    prepare();
    standOn(rowidFrom(*m_firstQuery), Position::Eof);
}

void DataControl::prepare()
{
    Connection &file = connection();
    // Prepared first: a missing table is reported here, in the engine's own words.
    m_firstQuery =
        std::make_unique<Statement>(file, sql({"SELECT rowid FROM ", " ORDER BY rowid LIMIT 1"}));
    m_names = file.columnNames(m_source);
    m_rowQuery = std::make_unique<Statement>(file, QStringLiteral("SELECT ") + quotedList(m_names) +
                                                       sql({" FROM ", " WHERE rowid = ?1"}));
    // The others are prepared when first needed: a refresh is as cheap as it can be.
    m_lastQuery.reset();
    m_nextQuery.reset();
    m_previousQuery.reset();
    m_isDateTime.clear();
    for (int i = 0; i < m_rowQuery->columnCount(); ++i)
        m_isDateTime.push_back(m_rowQuery->isDateTime(i));
}

QString DataControl::sql(const SqlAround &around) const
{
    return QLatin1String(around.before) + quotedSource() + QLatin1String(around.after);
}

Statement &DataControl::query(std::unique_ptr<Statement> &slot, const SqlAround &around)
{
    if (!slot)
        slot = std::make_unique<Statement>(connection(), sql(around));
    return *slot;
}

void DataControl::requireOpen() const
{
    if (m_position == Position::Closed)
        throw DbError(dberr::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
}

void DataControl::standOn(qint64 rowid, Position whenNone)
{
    m_deleted = false;
    m_editMode = EditMode::None;
    m_pending.clear();
    m_rowid = rowid;
    m_position = rowid ? Position::Row : whenNone;
    loadRow();
    showBound();
    emit currentChanged();
}

void DataControl::loadRow()
{
    m_values.clear();
    if (m_position != Position::Row)
        return;
    m_rowQuery->reset();
    m_rowQuery->bind(1, m_rowid);
    if (!m_rowQuery->step()) {
        // Another control deleted the row under this one.
        m_deleted = true;
        return;
    }
    for (int i = 0; i < m_names.size(); ++i) {
        QVariant value = m_rowQuery->value(i);
        if (m_isDateTime[i] && value.typeId() == QMetaType::QString) {
            const QDateTime stamp = parseStoredStamp(value.toString());
            if (stamp.isValid())
                value = stamp;
        }
        m_values << value;
    }
    m_rowQuery->reset();
}

qint64 DataControl::rowidFrom(Statement &query, qint64 after) const
{
    query.reset();
    if (after)
        query.bind(1, after);
    const qint64 rowid = query.step() ? query.integer(0) : 0;
    query.reset();
    return rowid;
}

void DataControl::moveFirst()
{
    requireOpen();
    moveToEnd(*m_firstQuery);
}

void DataControl::moveLast()
{
    requireOpen();
    moveToEnd(query(m_lastQuery, LastRowSql));
}

void DataControl::moveToEnd(Statement &query)
{
    leaveRow();
    const qint64 rowid = rowidFrom(query);
    if (!rowid)
        throw DbError(dberr::NoCurrentRecord, QStringLiteral("No current record."));
    standOn(rowid, Position::Eof);
}

void DataControl::moveNext()
{
    requireOpen();
    if (m_position == Position::Eof)
        throw DbError(dberr::NoCurrentRecord, QStringLiteral("No current record."));
    leaveRow();
    standOn(m_position == Position::Bof ? rowidFrom(*m_firstQuery)
                                        : rowidFrom(query(m_nextQuery, NextRowSql), m_rowid),
            Position::Eof);
}

void DataControl::movePrevious()
{
    requireOpen();
    if (m_position == Position::Bof)
        throw DbError(dberr::NoCurrentRecord, QStringLiteral("No current record."));
    leaveRow();
    standOn(m_position == Position::Eof
                ? rowidFrom(query(m_lastQuery, LastRowSql))
                : rowidFrom(query(m_previousQuery, PreviousRowSql), m_rowid),
            Position::Bof);
}

void DataControl::navigate(void (DataControl::*move)())
{
    if (m_position != Position::Row && m_position != Position::Bof && m_position != Position::Eof)
        return;
    if (!rowidFrom(*m_firstQuery))
        return;
    // The user's own move is refused while the row would not take what was typed on it: the
    // navigator stays, so the entry can be corrected.
    try {
        flushBound(Flush::Strict);
    } catch (const BoundEditRefused &refusal) {
        if (!m_refusalHandler)
            throw;
        m_refusalHandler(refusal, Refusal::StaysOnRow);
        return;
    }
    (this->*move)();
}

void DataControl::leaveRow()
{
    if (m_position != Position::Closed)
        flushBound(Flush::ReportAndDrop);
}

int DataControl::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_names.size(); ++i) {
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw DbError(dberr::ItemNotFound, QStringLiteral("Item not found in this collection: '") +
                                           name + QStringLiteral("'."));
}

QVariant DataControl::field(const QString &name) const
{
    requireOpen();
    const int column = columnIndex(name);
    if (m_position != Position::Row)
        throw DbError(dberr::NoCurrentRecord, QStringLiteral("No current record."));
    if (m_deleted)
        throw DbError(dberr::RecordDeleted, QStringLiteral("Record is deleted."));
    return m_values.value(column);
}

QVariantList DataControl::column(const QString &name) const
{
    requireOpen();
    Statement rows(connection(), QStringLiteral("SELECT ") +
                                     quoteIdentifier(m_names[columnIndex(name)]) +
                                     sql({" FROM ", " ORDER BY rowid"}));
    QVariantList values;
    while (rows.step())
        values << rows.value(0);
    return values;
}

void DataControl::addNew()
{
    requireOpen();
    m_editMode = EditMode::Adding;
    m_pending.clear();
}

void DataControl::edit()
{
    requireOpen();
    if (!hasCurrentRow())
        throw DbError(dberr::NoCurrentRecord, QStringLiteral("No current record."));
    m_editMode = EditMode::Editing;
    m_pending.clear();
}

void DataControl::setField(const QString &name, const QVariant &value)
{
    if (m_editMode == EditMode::None)
        throw DbError(dberr::UpdateWithoutEdit,
                      QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const int column = columnIndex(name);
    const QVariant stored =
        value.typeId() == QMetaType::QDateTime ? QVariant(storedStamp(value.toDateTime())) : value;
    std::erase_if(m_pending, [column](const auto &entry) { return entry.first == column; });
    m_pending.emplace_back(column, stored);
}

void DataControl::update()
{
    if (m_editMode == EditMode::None)
        throw DbError(dberr::UpdateWithoutEdit,
                      QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const EditMode mode = m_editMode;
    auto values = std::move(m_pending);
    m_editMode = EditMode::None;
    m_pending.clear();
    if (mode == EditMode::Adding) {
        QStringList columns;
        QStringList marks;
        for (const auto &[column, value] : values) {
            columns << quoteIdentifier(m_names[column]);
            marks << QStringLiteral("?");
        }
        const QString text = values.empty()
                                 ? sql({"INSERT INTO ", " DEFAULT VALUES"})
                                 : sql({"INSERT INTO ", " ("}) + columns.join(QLatin1String(", ")) +
                                       QStringLiteral(") VALUES (") +
                                       marks.join(QLatin1String(", ")) + QLatin1Char(')');
        Statement insert(connection(), text);
        for (int i = 0; i < int(values.size()); ++i)
            insert.bind(i + 1, values[i].second);
        insert.run();
        return;
    }
    for (const auto &edit : typedEdits()) {
        if (std::none_of(values.begin(), values.end(),
                         [&](const auto &entry) { return entry.first == edit.first; }))
            values.push_back(edit);
    }
    writeRow(values);
}

void DataControl::updateRecord()
{
    requireOpen();
    flushBound(Flush::Strict);
}

void DataControl::writeRow(const std::vector<std::pair<int, QVariant>> &values)
{
    if (values.empty())
        return;
    QStringList assignments;
    for (const auto &[column, value] : values)
        assignments << quoteIdentifier(m_names[column]) + QStringLiteral(" = ?");
    Statement write(connection(), sql({"UPDATE ", " SET "}) +
                                      assignments.join(QLatin1String(", ")) +
                                      QStringLiteral(" WHERE rowid = ?"));
    int index = 1;
    for (const auto &[column, value] : values)
        write.bind(index++, value);
    write.bind(index, m_rowid);
    write.run();
    loadRow();
    showBound();
    emit currentChanged();
}

void DataControl::deleteRow()
{
    requireOpen();
    if (!hasCurrentRow())
        throw DbError(dberr::NoCurrentRecord, QStringLiteral("No current record."));
    Statement remove(connection(), sql({"DELETE FROM ", " WHERE rowid = ?1"}));
    remove.bind(1, m_rowid);
    remove.run();
    m_deleted = true;
    m_editMode = EditMode::None;
    m_pending.clear();
}

void DataControl::close()
{
    leaveRow();
    m_rowQuery.reset();
    m_firstQuery.reset();
    m_lastQuery.reset();
    m_nextQuery.reset();
    m_previousQuery.reset();
    m_position = Position::Closed;
    m_values.clear();
}

void DataControl::bind(QLabel *label, const QString &field)
{
    m_bindings.push_back({label, field, {}});
}

void DataControl::bind(QLineEdit *box, const QString &field)
{
    m_bindings.push_back({box, field, {}});
}

void DataControl::bind(QTextEdit *box, const QString &field)
{
    m_bindings.push_back({box, field, {}});
}

void DataControl::bindDisplay(QComboBox *box, const QString &field)
{
    m_bindings.push_back({box, field, {}});
}

void DataControl::setRefusalHandler(std::function<void(const BoundEditRefused &, Refusal)> handler)
{
    m_refusalHandler = std::move(handler);
}

QString DataControl::boxText(const QWidget *widget)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(widget))
        return line->text();
    if (const auto *text = qobject_cast<const QTextEdit *>(widget))
        return text->toPlainText();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->currentText();
    return static_cast<const QLabel *>(widget)->text();
}

void DataControl::showBound()
{
    for (Binding &binding : m_bindings) {
        if (!binding.widget)
            continue;
        QVariant value;
        if (hasCurrentRow()) {
            for (int i = 0; i < m_names.size(); ++i) {
                if (m_names[i].compare(binding.field, Qt::CaseInsensitive) == 0)
                    value = m_values.value(i);
            }
        }
        binding.shown = displayText(value);
        if (auto *combo = qobject_cast<QComboBox *>(binding.widget))
            combo->setEditText(binding.shown);
        else if (auto *line = qobject_cast<QLineEdit *>(binding.widget))
            line->setText(binding.shown);
        else if (auto *text = qobject_cast<QTextEdit *>(binding.widget))
            text->setPlainText(binding.shown);
        else
            static_cast<QLabel *>(binding.widget.data())->setText(binding.shown);
        // A plain-text box may store its line breaks differently from the field.
        binding.shown = boxText(binding.widget);
    }
}

std::vector<std::pair<int, QVariant>> DataControl::typedEdits() const
{
    std::vector<std::pair<int, QVariant>> edits;
    if (!hasCurrentRow())
        return edits;
    for (const Binding &binding : m_bindings) {
        if (!binding.widget || qobject_cast<QLabel *>(binding.widget) ||
            qobject_cast<QComboBox *>(binding.widget))
            continue;
        if (const auto *line = qobject_cast<QLineEdit *>(binding.widget);
            line && line->isReadOnly())
            continue;
        const QString text = boxText(binding.widget);
        if (text == binding.shown)
            continue;
        const int column = columnIndex(binding.field);
        if (!m_isDateTime[column]) {
            edits.emplace_back(column, text);
            continue;
        }
        const auto stamp = readDateTime(text);
        if (!stamp)
            throw BoundEditRefused(dberr::CancelledByBoundDisplay,
                                   QLatin1Char('"') + text +
                                       QStringLiteral("\" is not a date and time"),
                                   m_names[column]);
        edits.emplace_back(column, storedStamp(*stamp));
    }
    return edits;
}

void DataControl::flushBound(Flush policy)
{
    try {
        const auto edits = typedEdits();
        if (edits.empty())
            return;
        try {
            writeRow(edits);
        } catch (const BoundEditRefused &) {
            throw;
        } catch (const DbError &error) {
            QStringList fields;
            for (const auto &[column, value] : edits)
                fields << m_names[column];
            throw BoundEditRefused(error.number(), error.description(),
                                   fields.join(QLatin1String(", ")));
        }
    } catch (const BoundEditRefused &refusal) {
        if (policy == Flush::Strict || !m_refusalHandler)
            throw;
        // The row keeps what it held, the boxes show it again, and the user is told.
        showBound();
        m_refusalHandler(refusal, Refusal::Dropped);
    }
}

bool isFlagOn(const QVariant &value)
{
    bool number = false;
    const double flag = value.toDouble(&number);
    return !value.isNull() && number && flag == 1.0;
}

bool findByName(DataControl &control, const QString &field, const QString &name)
{
    control.moveFirst();
    while (!control.eof()) {
        const QVariant value = control.field(field);
        if (!value.isNull() && value.toString() == name)
            return true;
        control.moveNext();
    }
    return false;
}

} // namespace horalink
