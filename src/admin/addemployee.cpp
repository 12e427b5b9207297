// Adding an employee: "Add New" opens the add window; its OK lists the employee and gives
// him or her an empty time log.
#include "admin/frmadd.h"
#include "app/forms.h"
#include "app/frmlogon.h"
#include "app/prompts.h"
#include "db/datacontrol.h"
#include "db/employees.h"
#include "mainwin/frmmain.h"
#include "reports/figures.h"

#include <QLineEdit>

namespace horalink {

namespace {

const QString AddError = QStringLiteral("Add Error");

// Stands the employee list on the first employee whose name would share this name's time
// log.
bool findClash(DataControl &list, const QString &name)
{
    list.moveFirst();
    while (!list.eof()) {
        const QVariant listed = list.field(QStringLiteral("ename"));
        if (!listed.isNull() && sameEmployee(listed.toString(), name))
            return true;
        list.moveNext();
    }
    return false;
}

void refuseExisting()
{
    prompts().warning(QStringLiteral("Sorry, this Employee already exists."), AddError);
}

} // namespace

void frmmain::Command5_Click()
{
    manlist->setEnabled(false);
    frmadd &window = forms().frmadd();
    window.show();
    window.raise();
    window.activateWindow();
}

void frmadd::Command1_Click()
{
    const QString name = storedName(newemployee->text());
    if (name.size() > 20) {
        prompts().warning(QStringLiteral("Sorry, the name is to long.  Please type in a name with "
                                         "less than 20 characters and without special "
                                         "characters (i.e. period, quotation marks, etc.)"),
                          QStringLiteral("Add error"));
        newemployee->clear();
        return;
    }
    if (name.isEmpty()) {
        prompts().warning(QStringLiteral("Please type in the name of the new Employee."), AddError);
        return;
    }
    if (const QString refusal = nameRefusal(name); !refusal.isEmpty()) {
        prompts().warning(refusal, AddError);
        return;
    }
    if (!readNumber(newwage->text())) {
        prompts().warning(QStringLiteral("Sorry, the wage must be a number of dollars per hour, "
                                         "for example %1.")
                              .arg(QLocale().toString(12.5, 'f', 2)),
                          AddError);
        return;
    }

    frmmain &main = forms().frmmain();
    DataControl &list = *main.mandata;
    if (findByName(list, QStringLiteral("ename"), name) || findClash(list, name)) {
        refuseExisting();
        return;
    }
    AddOutcome outcome;
    try {
        outcome =
            addEmployee(list.connection(), {name, newwage->text(), passwrd->text(), commentText()});
    } catch (const DbError &error) {
        // Nothing was written: the window stays open so the name can be changed.
        prompts().warning(
            QStringLiteral("Sorry, the Employee could not be added: %1.").arg(error.description()),
            AddError);
        return;
    }
    if (outcome == AddOutcome::NameTaken) {
        refuseExisting();
        return;
    }

    forms().frmlogon().addName(name);
    prompts().information(QStringLiteral("Employee has been added!"),
                          QStringLiteral("Information"));
    close();
    main.manlist->setEnabled(true);
    list.refresh();
}

} // namespace horalink
