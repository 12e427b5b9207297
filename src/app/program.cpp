#include "program.h"

#include "app/forms.h"
#include "app/prompts.h"
#include "db/database.h"

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
    QCoreApplication::exit(exitCode);
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
    prompts().message(
        {QStringLiteral("Run-time error '%1':\n\n%2").arg(error.number()).arg(error.description()),
         ProgramTitle, Icon::Stop, Buttons::Ok, Button::Ok});
    endProgram(1);
}

} // namespace horalink
