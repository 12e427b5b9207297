#include "start.h"

#include "app/forms.h"
#include "app/frmsplash.h"
#include "app/unattended.h"
#include "app/version.h"

#include <QApplication>

namespace horalink {

void start()
{
    // Only the logon window's Exit and the first-run window end the program, never the
    // closing of some last window.
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(ApplicationId);
    if (unattended())
        setPrompts(unattendedPrompts());
    forms().frmsplash().show();
}

} // namespace horalink
