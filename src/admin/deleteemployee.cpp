// Deleting the employee shown in the Management tab: the events of his or her time log and
// the list's rows of the name go together; the emptied table stays for a later employee of
// the same name.
#include "app/forms.h"
#include "app/frmlogon.h"
#include "app/prompts.h"
#include "db/datacontrol.h"
#include "db/employees.h"
#include "mainwin/frmmain.h"

#include <QLineEdit>

namespace horalink {

void frmmain::Deleteemp_Click()
{
    const QString name = manlist->text();
    if (name == QLatin1String("Manager")) {
        prompts().warning(QStringLiteral("Sorry, cannot delete the Manager"),
                          QStringLiteral("Delete Error"));
        return;
    }
    DataControl &names = *forms().frmlogon().Datanames;
    names.refresh();
    if (!findByName(names, QStringLiteral("ename"), name)) {
        prompts().warning(QStringLiteral("Sorry, the Name doesn't appear to exist.  Try again."),
                          QStringLiteral("Add Error"));
        return;
    }
    if (prompts().ask(QStringLiteral("Deleting an employee is permanent.  He/She will no longer "
                                     "be able to use the Horalink Program unless you add them "
                                     "again. Do you want to continue ?"),
                      QStringLiteral("Horalink Warning"), Buttons::YesNo, Icon::Stop,
                      Button::No) != Button::Yes)
        return;

    Connection &file = mandata->connection();
    try {
        deleteEmployee(file, name);
    } catch (const DbError &error) {
        prompts().warning(QStringLiteral("Sorry, the Employee could not be deleted: %1.  Nothing "
                                         "was changed.")
                              .arg(error.description()),
                          QStringLiteral("Delete Error"));
        return;
    }
    forms().frmlogon().removeName(name);
    prompts().information(QStringLiteral("Employee has been deleted."),
                          QStringLiteral("Information"));
    mandata->refresh();
    manuse->setRecordSource(name);
    // An employee listed without a time log has no log to show.
    if (hasTimeLog(file, name))
        manuse->refresh();
    else
        manuse->close();
}

} // namespace horalink
