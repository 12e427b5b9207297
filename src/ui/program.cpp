#include "program.h"

#include "db/database.h"
#include "ui/forms.h"
#include "ui/prompts.h"

#include <QCoreApplication>

namespace horalink {

namespace {
bool ended = false;
}

void endProgram(int exitCode)
{
    ended = true;
    forms().unloadAll();
    closeDatabases();
    // Queued, so that an end during start-up, before the event loop runs (a splash screen's
    // show() already processes events), still ends the loop that main() starts next.
    QMetaObject::invokeMethod(
        qApp, [exitCode] { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
}

Commands &commands()
{
    static Commands notifier;
    return notifier;
}

bool programEnded()
{
    return ended;
}

void resetProgramEnded()
{
    ended = false;
}

void reportAndEnd(const DbError &error)
{
    // A connection to the server lost during the session took only the action in progress
    // with it, whole; the next action connects again. A change the server allows only the
    // Manager was refused whole: the clock goes on.
    if (error.number() == dberr::ConnectionLost || error.number() == dberr::NotPermitted) {
        prompts().message(
            {error.description(), ProgramTitle, Icon::Exclamation, Buttons::Ok, Button::Ok});
        return;
    }
    prompts().message({QStringLiteral("Run-time error '") + QString::number(error.number()) +
                           QStringLiteral("':\n\n") + error.description(),
                       ProgramTitle, Icon::Stop, Buttons::Ok, Button::Ok});
    endProgram(1);
}

} // namespace horalink
