#pragma once

#include "db/dberror.h"
#include "ui/forms.h"

#include <QObject>

namespace horalink {

// Ends the program at once: every window goes, the database is closed.
void endProgram(int exitCode = 0);
bool programEnded();
void resetProgramEnded();

// The course of every database failure that no procedure handles itself: the engine's
// number and description in a box, then the end of the program. A connection to the server
// lost during the session is told in a box, and the program goes on.
void reportAndEnd(const DbError &error);

// Tells, after every handled event, that the file may have changed, so that views of it that
// are not bound to a cursor (the manager's grid) can read it again.
class Commands : public QObject
{
    Q_OBJECT

signals:
    void finished();
};

Commands &commands();

template <class Handler> void guarded(Handler &&handler, const QString &action = {})
{
    // Events still queued when the program ended act for nobody.
    if (programEnded())
        return;
    const Forms::Handling handling(action);
    try {
        handler();
    } catch (const DbError &error) {
        reportAndEnd(error);
        return;
    }
    if (!programEnded())
        emit commands().finished();
}

// Connects a signal to a handler of a window so that a database failure inside the handler
// takes the program-wide course instead of escaping into the event loop.
template <class Sender, class Signal, class Receiver, class... Args>
QMetaObject::Connection connectGuarded(Sender *sender, Signal signal, Receiver *receiver,
                                       void (Receiver::*handler)(Args...))
{
    return QObject::connect(sender, signal, receiver, [sender, receiver, handler](Args... args) {
        guarded([&] { (receiver->*handler)(args...); }, sender->objectName());
    });
}

} // namespace horalink
