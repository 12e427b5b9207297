// The manager's functions on employees, passwords and logs.
#include "admin/frmprop.h"
#include "app/forms.h"
#include "mainwin/frmmain.h"

namespace horalink {

void frmmain::Command2_Click()
{
    frmprop &properties = forms().frmprop();
    properties.show();
    properties.raise();
    properties.activateWindow();
}

void frmmain::Command4_Click() {}
void frmmain::manclearlog(const QString &) {}
void frmmain::dltdata_Click() {}
void frmmain::Command5_Click() {}
void frmmain::ChgPass_Click() {}
void frmmain::chpass_Click() {}
void frmmain::Deleteemp_Click() {}

} // namespace horalink
