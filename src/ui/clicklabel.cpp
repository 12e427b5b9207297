#include "clicklabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace horalink {

ClickLabel::ClickLabel(const QString &caption, QWidget *parent) : QLabel(caption, parent)
{
    // Tab reaches it, a click does not take the focus from where the user is typing.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickLabel::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    underline(true);
}

void ClickLabel::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    underline(false);
}

void ClickLabel::underline(bool on)
{
    QFont shown = font();
    shown.setUnderline(on);
    setFont(shown);
}

} // namespace horalink
