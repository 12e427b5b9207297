#include "frmpass.h"

#include "app/prompts.h"

namespace horalink {

frmpass::frmpass() : Form(Qt::Dialog)
{
    setObjectName(QStringLiteral("frmpass"));
    setWindowTitle(ProgramTitle);
}

} // namespace horalink
