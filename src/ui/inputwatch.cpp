#include "inputwatch.h"

#include "clock/clock.h"

#include <QCoreApplication>
#include <QEvent>

namespace horalink {

namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

} // namespace

InputWatch::InputWatch(QObject *parent) : QObject(parent)
{
    // Every window counts: the task prompt, the Pay Period window and the boxes act for the
    // same user as the main window and go with it.
    QCoreApplication::instance()->installEventFilter(this);
    restart();
}

void InputWatch::restart()
{
    m_lastInput = clock().now();
}

bool InputWatch::quietFor(qint64 seconds)
{
    const QDateTime now = clock().now();
    if (now < m_lastInput)
        m_lastInput = now;
    return m_lastInput.secsTo(now) >= seconds;
}

bool InputWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (isInput(event->type()))
        restart();
    return QObject::eventFilter(watched, event);
}

} // namespace horalink
