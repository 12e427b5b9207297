#include "frmadd.h"

#include "app/prompts.h"

namespace horalink {

frmadd::frmadd() : Form(Qt::Dialog)
{
    setObjectName(QStringLiteral("frmadd"));
    setWindowTitle(ProgramTitle);
}

} // namespace horalink
