// Printed time cards.
#include "mainwin/frmmain.h"

namespace horalink {

void frmmain::Command3_Click() {}
void frmmain::manprintlog(const QString &) {}
void frmmain::prntdata_Click() {}

} // namespace horalink
