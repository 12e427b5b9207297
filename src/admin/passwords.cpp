// Changing a password: "Change My Pass&word" changes the signed-on user's own, "Chg Pass" that
// of the employee shown in the Management tab. Every sign-on reads the employee list again, so
// the next one asks for the new password.
#include "admin/frmpass.h"
#include "app/forms.h"
#include "app/frmlogon.h"
#include "app/prompts.h"
#include "db/database.h"
#include "db/employees.h"
#include "mainwin/frmmain.h"

#include <QLabel>
#include <QLineEdit>

namespace horalink {

void frmmain::chpass_Click()
{
    frmpass &window = forms().frmpass();
    window.show();
    window.raise();
    window.activateWindow();
}

void frmmain::ChgPass_Click()
{
    frmpass &window = forms().frmpass();
    window.Picture1->show();
    window.Picture1->raise();
    window.show();
    window.raise();
    window.activateWindow();
}

void frmpass::Command1_Click()
{
    changePassword(forms().frmmain().session().employee, newpasswrd->text());
}

void frmpass::Command3_Click()
{
    changePassword(forms().frmmain().manlist->text(), Text1->text());
}

void frmpass::changePassword(const QString &name, const QString &password)
{
    if (storePassword(openDatabase(EmployeeMdb), name, password)) {
        prompts().information(QStringLiteral("Password Successfully Changed."),
                              QStringLiteral("Successful!"));
    } else {
        prompts().warning(QStringLiteral("Sorry, their was a problem with the data file. Check "
                                         "with your system administrator."),
                          QStringLiteral("Change Pass Error"));
    }
    close();
}

} // namespace horalink
