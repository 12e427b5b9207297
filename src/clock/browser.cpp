// The signed-on user's record browser and the manager's grid.
#include "mainwin/frmmain.h"

namespace horalink {

void frmmain::lgndatetime_Change() {}
void frmmain::Label11_Click() {}
void frmmain::Label12_Click() {}
void frmmain::fxnupdate() {}
void frmmain::dltlast_Click() {}
void frmmain::Label8_Click() {}

} // namespace horalink
