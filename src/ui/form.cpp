#include "form.h"

#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/program.h"
#include "ui/unattended.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

namespace horalink {

Form::Form(Qt::WindowFlags flags) : QWidget(nullptr, flags)
{
    setAttribute(Qt::WA_QuitOnClose, false);
    // The windows keep the sizes of their designs, which were drawn for an 8-point face.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
}

void Form::centre()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size().expandedTo(size());
    move(area.x() + (area.width() - outer.width()) / 2,
         area.y() + (area.height() - outer.height()) / 2);
}

int Form::twips(int value)
{
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    return qRound(value * dpi / 1440.0);
}

void Form::setFixedClientSize(int widthTwips, int heightTwips)
{
    // A larger font (a translation, a screen scaled up) may need more than the design gave;
    // nothing is ever squashed or cut to keep to it.
    setFixedSize(QSize(twips(widthTwips), twips(heightTwips)).expandedTo(minimumSizeHint()));
}

void Form::setCancelButton(QPushButton *button)
{
    m_cancelButton = button;
}

void Form::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    tellShown(*this);
}

void Form::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        guarded([this] { activated(); });
}

void Form::closeEvent(QCloseEvent *event)
{
    event->accept();
    guarded([this] { closeBoxClicked(); });
    if (forms().isLoaded(this))
        forms().unload(*this);
}

} // namespace horalink

namespace horalink {

void Form::setDefaultButton(QPushButton *button)
{
    if (m_defaultButton)
        m_defaultButton->setDefault(false);
    m_defaultButton = button;
    if (button)
        button->setDefault(true);
}

QPushButton *Form::defaultButton() const
{
    return m_defaultButton;
}

void Form::escapePressed()
{
    if (m_cancelButton && m_cancelButton->isVisible() && m_cancelButton->isEnabled())
        m_cancelButton->click();
    else
        close();
}

void Form::keyPressEvent(QKeyEvent *event)
{
    // Esc in a box first takes back what was typed there: it is how an edit is undone, and
    // must never also leave the window, which stores or reports that edit.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (!undoTyping(focusWidget()))
            escapePressed();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && m_defaultButton &&
        m_defaultButton->isVisible() && m_defaultButton->isEnabled()) {
        m_defaultButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace horalink
