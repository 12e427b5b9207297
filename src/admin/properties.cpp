// The "Configure" button: the program properties window.
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

} // namespace horalink
