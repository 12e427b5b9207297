#include "controls.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace horalink {

QLabel *label(const char *name, const QString &caption, QWidget *parent)
{
    return named(new QLabel(caption, parent), name);
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent,
                    const QString &toolTip)
{
    auto *button = named(new QPushButton(caption, parent), name);
    button->setToolTip(toolTip);
    return button;
}

QGroupBox *frame(const char *name, const QString &caption, QWidget *parent)
{
    return named(new QGroupBox(caption, parent), name);
}

namespace {

// A text box's own undo steps back through every edit since its text was last set.
template <class Box> bool undoAll(Box *box)
{
    if (box->isReadOnly() || !box->document()->isUndoAvailable())
        return false;
    while (box->document()->isUndoAvailable())
        box->undo();
    return true;
}

} // namespace

bool undoTyping(QWidget *box)
{
    if (auto *line = qobject_cast<QLineEdit *>(box)) {
        if (line->echoMode() != QLineEdit::Normal || !line->isUndoAvailable())
            return false;
        while (line->isUndoAvailable())
            line->undo();
        return true;
    }
    if (auto *text = qobject_cast<QTextEdit *>(box))
        return undoAll(text);
    if (auto *plain = qobject_cast<QPlainTextEdit *>(box))
        return undoAll(plain);
    return false;
}

} // namespace horalink
