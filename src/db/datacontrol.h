#pragma once

#include "db/dberror.h"

#include <functional>
#include <memory>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QTextEdit;
class QToolButton;

namespace horalink {

class Connection;
class Statement;

// A typed edit in a bound box that the row would not take, and the field it was typed for.
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

// A cursor over one table in stored (insertion) order, with the displays bound to it. It
// reads one row at a time, so a long log costs no more to browse than a short one. When
// visible it is a navigator: first, previous, a caption, next, last.
class DataControl : public QWidget
{
    Q_OBJECT

public:
    explicit DataControl(const QString &name, QWidget *parent = nullptr);
    ~DataControl() override;

    void setDatabaseName(const QString &name);
    void setRecordSource(const QString &table);
    QString recordSource() const { return m_source; }
    void setCaption(const QString &caption);
    QString caption() const;

    // (Re)opens the record source and stands on its first row, or at end-of-file.
    void refresh();
    bool eof() const { return m_position == Position::Eof; }
    bool bof() const { return m_position == Position::Bof; }
    bool hasCurrentRow() const { return m_position == Position::Row && !m_deleted; }
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();

    // A field of the current row, by name in any letter case; date/time fields come back as
    // QDateTime.
    QVariant field(const QString &name) const;
    QStringList fieldNames() const { return m_names; }
    // One field of every row, in stored order, read at once; the cursor does not move.
    QVariantList column(const QString &name) const;

    void addNew();
    void edit();
    void setField(const QString &name, const QVariant &value);
    void update();
    // Writes what was typed into the bound boxes of the current row; a refusal is thrown.
    void updateRecord();
    // Leaves the current row as a move does: what was typed there is written to it, or, when
    // the row will not take it, dropped and reported through the refusal handler.
    void leaveRow();
    void deleteRow();
    void close();

    // Bound displays show a field of the current row and follow every move and refresh.
    void bind(QLabel *label, const QString &field);
    void bind(QLineEdit *box, const QString &field);
    void bind(QTextEdit *box, const QString &field);
    // Shows the field in the box's text; nothing typed there is ever written back.
    void bindDisplay(QComboBox *box, const QString &field);

    // Who tells the user when a row will not take what was typed in a bound box: the
    // navigator then stays on the row; any other move, refresh or change of table drops the
    // typed text. Without a handler, the refusal takes the program-wide course.
    enum class Refusal
    {
        StaysOnRow,
        Dropped
    };
    void setRefusalHandler(std::function<void(const BoundEditRefused &, Refusal)> handler);

    // Statement text around the quoted name of the record source.
    struct SqlAround
    {
        const char *before;
        const char *after;
    };

    Connection &connection() const;

signals:
    void currentChanged();

private:
    enum class Position
    {
        Closed,
        Bof,
        Row,
        Eof
    };
    enum class EditMode
    {
        None,
        Adding,
        Editing
    };
    struct Binding
    {
        QPointer<QWidget> widget;
        QString field;
        QString shown;
    };
    enum class Flush
    {
        Strict,
        ReportAndDrop
    };

    void requireOpen() const;
    void prepare();
    void standOn(qint64 rowid, Position whenNone);
    void loadRow();
    qint64 rowidFrom(Statement &query, qint64 after = 0) const;
    QString sql(const SqlAround &around) const;
    Statement &query(std::unique_ptr<Statement> &slot, const SqlAround &around);
    void moveToEnd(Statement &query);
    int columnIndex(const QString &name) const;
    QString quotedSource() const;
    void writeRow(const std::vector<std::pair<int, QVariant>> &values);
    std::vector<std::pair<int, QVariant>> typedEdits() const;
    void flushBound(Flush policy);
    void showBound();
    static QString boxText(const QWidget *widget);
    void navigate(void (DataControl::*move)());

    QString m_databaseName;
    QString m_source;
    Position m_position = Position::Closed;
    qint64 m_rowid = 0;
    bool m_deleted = false;
    QStringList m_names;
    std::vector<bool> m_isDateTime;
    QVariantList m_values;
    EditMode m_editMode = EditMode::None;
    std::vector<std::pair<int, QVariant>> m_pending;
    std::vector<Binding> m_bindings;
    std::function<void(const BoundEditRefused &, Refusal)> m_refusalHandler;
    // Prepared once per record source: moving costs one indexed lookup, not a new statement.
    std::unique_ptr<Statement> m_rowQuery;
    std::unique_ptr<Statement> m_firstQuery;
    std::unique_ptr<Statement> m_lastQuery;
    std::unique_ptr<Statement> m_nextQuery;
    std::unique_ptr<Statement> m_previousQuery;

    QLabel *m_caption;
};

// A program switch counts as on only when it holds exactly 1.
bool isFlagOn(const QVariant &value);

// Finds the first row, in stored order, whose field equals the name exactly (letter case
// counts, nothing is trimmed, Null equals nothing). On success the cursor stands on it.
bool findByName(DataControl &control, const QString &field, const QString &name);

} // namespace horalink
