#pragma once

#include "db/cursor.h"

#include <functional>
#include <QPointer>
#include <QWidget>
#include <vector>

class QLabel;
class QLineEdit;
class QTextEdit;

namespace horalink {

// A data control: a cursor over one table with the displays bound to it. When visible it is a
// navigator: first, previous, a caption, next, last. Bound boxes show a field of the current
// row and follow every move and refresh; what is typed in an editable one is written to its
// row when the cursor leaves the row.
class DataControl : public QWidget
{
    Q_OBJECT

public:
    explicit DataControl(const QString &name, QWidget *parent = nullptr);

    void setCaption(const QString &caption);

    // The cursor's operations, as the windows use them.
    void setRecordSource(const QString &table) { m_cursor.setRecordSource(table); }
    QString recordSource() const { return m_cursor.recordSource(); }
    void refresh() { m_cursor.refresh(); }
    void close() { m_cursor.close(); }
    void setManaging(bool managing) { m_cursor.setManaging(managing); }
    bool eof() const { return m_cursor.eof(); }
    bool hasCurrentRow() const { return m_cursor.hasCurrentRow(); }
    void moveFirst() { m_cursor.moveFirst(); }
    void moveNext() { m_cursor.moveNext(); }
    void moveLast() { m_cursor.moveLast(); }
    QVariant field(const QString &name) const { return m_cursor.field(name); }

    void bind(QLabel *label, const QString &field);
    void bind(QLineEdit *box, const QString &field);
    void bind(QTextEdit *box, const QString &field);

    // Writes what was typed into the bound boxes of the current row; a refusal is thrown.
    void updateRecord();
    // Leaves the current row as a move does: what was typed there is written to it, or, when
    // the row will not take it, dropped and reported through the refusal handler.
    void leaveRow();

    // Who tells the user when a row will not take what was typed in a bound box: the
    // navigator then stays on the row; any other move, refresh or change of table drops the
    // typed text. A box whose field has a rule is checked as it is left, too: a refused text
    // then gives way to the row's value and the box takes the focus back. Without a handler,
    // the refusal takes the program-wide course.
    enum class Refusal
    {
        StaysOnRow,
        Dropped,
        Restored
    };
    void setRefusalHandler(std::function<void(const BoundEditRefused &, Refusal)> handler);

    // What may be typed into the box bound to `field`: the rule gives why a text is refused,
    // or nothing when it is taken. A refused text is never written; it is reported as a text
    // the row will not take.
    void setFieldRule(const QString &field, std::function<QString(const QString &typed)> rule);

signals:
    void currentChanged();

private:
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

    void navigate(void (Cursor::*move)());
    void boxLeft(QLineEdit *box);
    QString ruleRefusal(const QString &field, const QString &text) const;
    std::vector<std::pair<QString, QString>> typedEdits() const;
    void applyFieldRules(const std::vector<std::pair<QString, QString>> &edits) const;
    void flushBound(Flush policy);
    void showBound();
    static QString boxText(const QWidget *widget);

    Cursor m_cursor;
    std::vector<Binding> m_bindings;
    std::function<void(const BoundEditRefused &, Refusal)> m_refusalHandler;
    std::vector<std::pair<QString, std::function<QString(const QString &)>>> m_fieldRules;
    QLabel *m_caption;
};

} // namespace horalink
