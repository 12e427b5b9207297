#include "datacontrol.h"

#include "db/datetimetext.h"
#include "ui/program.h"

#include <algorithm>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QToolButton>

namespace horalink {

namespace {

// A click leaves the focus in the box being edited; Tab reaches the button, Space presses it.
QToolButton *navigatorButton(const QString &name, const QString &text, const QString &spoken,
                             QWidget *parent, const std::function<void()> &clicked)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setAccessibleName(spoken);
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::TabFocus);
    QObject::connect(button, &QToolButton::clicked, parent, clicked);
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
    : QWidget(parent), m_caption(new QLabel(this))
{
    setObjectName(name);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_caption->setFrameShape(QFrame::Panel);
    m_caption->setFrameShadow(QFrame::Sunken);
    layout->addWidget(navigatorButton(QStringLiteral("first"), QStringLiteral("|<"),
                                      QStringLiteral("First record"), this,
                                      [this] { navigate(&Cursor::moveFirst); }));
    layout->addWidget(navigatorButton(QStringLiteral("previous"), QStringLiteral("<"),
                                      QStringLiteral("Previous record"), this, [this] {
                                          navigate(&Cursor::movePrevious);
                                          if (m_cursor.bof())
                                              m_cursor.moveFirst();
                                      }));
    layout->addWidget(m_caption, 1);
    layout->addWidget(navigatorButton(QStringLiteral("next"), QStringLiteral(">"),
                                      QStringLiteral("Next record"), this, [this] {
                                          navigate(&Cursor::moveNext);
                                          if (m_cursor.eof())
                                              m_cursor.moveLast();
                                      }));
    layout->addWidget(navigatorButton(QStringLiteral("last"), QStringLiteral(">|"),
                                      QStringLiteral("Last record"), this,
                                      [this] { navigate(&Cursor::moveLast); }));

    m_cursor.setBeforeLeaving([this] { flushBound(Flush::ReportAndDrop); });
    connect(&m_cursor, &Cursor::currentChanged, this, [this] {
        showBound();
        emit currentChanged();
    });
}

void DataControl::setCaption(const QString &caption)
{
    m_caption->setText(caption);
}

void DataControl::navigate(void (Cursor::*move)())
{
    if (!m_cursor.hasRows())
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
    (m_cursor.*move)();
}

void DataControl::updateRecord()
{
    flushBound(Flush::Strict);
}

void DataControl::leaveRow()
{
    if (m_cursor.isOpen())
        flushBound(Flush::ReportAndDrop);
}

void DataControl::bind(QLabel *label, const QString &field)
{
    m_bindings.push_back({label, field, {}});
}

void DataControl::bind(QLineEdit *box, const QString &field)
{
    m_bindings.push_back({box, field, {}});
    connect(box, &QLineEdit::editingFinished, this,
            [this, box] { guarded([&] { boxLeft(box); }); });
}

// A text the field's rule refuses is refused where it was typed, before any command reads it.
void DataControl::boxLeft(QLineEdit *box)
{
    // Focus lost to a menu or to another program is no leaving: the user comes back to the
    // box.
    if (!m_refusalHandler || QApplication::activePopupWidget() ||
        QApplication::activeWindow() != box->window())
        return;
    const auto binding = std::find_if(m_bindings.begin(), m_bindings.end(),
                                      [box](const Binding &bound) { return bound.widget == box; });
    if (!m_cursor.hasCurrentRow() || box->isReadOnly() || box->text() == binding->shown)
        return;
    const QString refusal = ruleRefusal(binding->field, box->text());
    if (refusal.isEmpty())
        return;
    // Restored before the box is shown, so that the focus the box takes finds nothing to
    // refuse again.
    box->setText(binding->shown);
    m_refusalHandler(BoundEditRefused(dberr::CheckFailed, refusal, binding->field),
                     Refusal::Restored);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

void DataControl::bind(QTextEdit *box, const QString &field)
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
    return static_cast<const QLabel *>(widget)->text();
}

void DataControl::showBound()
{
    for (Binding &binding : m_bindings) {
        if (!binding.widget)
            continue;
        binding.shown =
            m_cursor.hasCurrentRow() ? displayText(m_cursor.field(binding.field)) : QString();
        if (auto *line = qobject_cast<QLineEdit *>(binding.widget))
            line->setText(binding.shown);
        else if (auto *text = qobject_cast<QTextEdit *>(binding.widget))
            text->setPlainText(binding.shown);
        else
            static_cast<QLabel *>(binding.widget.data())->setText(binding.shown);
        // A plain-text box may store its line breaks differently from the field.
        binding.shown = boxText(binding.widget);
    }
}

std::vector<std::pair<QString, QString>> DataControl::typedEdits() const
{
    std::vector<std::pair<QString, QString>> edits;
    if (!m_cursor.hasCurrentRow())
        return edits;
    for (const Binding &binding : m_bindings) {
        if (!binding.widget || qobject_cast<QLabel *>(binding.widget))
            continue;
        if (const auto *line = qobject_cast<QLineEdit *>(binding.widget);
            line && line->isReadOnly())
            continue;
        const QString text = boxText(binding.widget);
        if (text != binding.shown)
            edits.emplace_back(binding.field, text);
    }
    return edits;
}

void DataControl::setFieldRule(const QString &field,
                               std::function<QString(const QString &typed)> rule)
{
    m_fieldRules.emplace_back(field, std::move(rule));
}

QString DataControl::ruleRefusal(const QString &field, const QString &text) const
{
    for (const auto &[ruled, rule] : m_fieldRules) {
        if (ruled.compare(field, Qt::CaseInsensitive) != 0)
            continue;
        if (const QString refusal = rule(text); !refusal.isEmpty())
            return refusal;
    }
    return {};
}

void DataControl::applyFieldRules(const std::vector<std::pair<QString, QString>> &edits) const
{
    for (const auto &[field, text] : edits) {
        if (const QString refusal = ruleRefusal(field, text); !refusal.isEmpty())
            throw BoundEditRefused(dberr::CheckFailed, refusal, field);
    }
}

void DataControl::flushBound(Flush policy)
{
    try {
        const auto edits = typedEdits();
        applyFieldRules(edits);
        m_cursor.writeTyped(edits);
    } catch (const BoundEditRefused &refusal) {
        if (policy == Flush::Strict || !m_refusalHandler)
            throw;
        // The row keeps what it held, the boxes show it again, and the user is told.
        showBound();
        m_refusalHandler(refusal, Refusal::Dropped);
    }
}

} // namespace horalink
