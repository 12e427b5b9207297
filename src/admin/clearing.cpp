// Clearing time logs at the end of a pay period: the manager clears the events before an
// ending date for one employee or for all; any user clears his or her whole own log.
#include "app/clock.h"
#include "app/forms.h"
#include "app/frmlogon.h"
#include "app/prompts.h"
#include "db/datacontrol.h"
#include "db/datetimetext.h"
#include "db/employees.h"
#include "mainwin/frmmain.h"

#include <QLabel>
#include <QLineEdit>

namespace horalink {

namespace {

const QString ClearError = QStringLiteral("Clear Error");

void refuseUnreadableDate(const QString &typed)
{
    prompts().warning(QStringLiteral("Sorry, \"%1\" is not a date.  Please enter an ending date "
                                     "such as %2.  Nothing was cleared.")
                          .arg(typed, generalDateText(clock().now())),
                      ClearError);
}

} // namespace

void frmmain::Command4_Click()
{
    const Button everyone =
        prompts().ask(QStringLiteral("Would you like to clear the log for all employees? "
                                     "(default: clear current employee only)"),
                      QStringLiteral("Clear"), Buttons::YesNoCancel, Icon::None, Button::No);
    if (everyone == Button::Cancel)
        return;
    if (everyone == Button::Yes)
        mandata->moveFirst();
    const QString ending = prompts().input(QStringLiteral("Enter an ending date:"),
                                           QStringLiteral("Clear log until this date: "),
                                           generalDateText(clock().now()));
    if (!ending.isEmpty()) {
        if (everyone == Button::No) {
            manclearlog(ending);
        } else if (!readDateTime(ending)) {
            // Told once here rather than once for every employee.
            refuseUnreadableDate(ending);
        } else {
            while (!mandata->eof()) {
                manclearlog(ending);
                mandata->moveNext();
            }
        }
    }
    mandata->refresh();
}

void frmmain::manclearlog(const QString &endingDate)
{
    const QString name = manlist->text();
    DataControl &names = *forms().frmlogon().Datanames;
    names.refresh();
    if (!findByName(names, QStringLiteral("ename"), name)) {
        prompts().warning(QStringLiteral("Please enter a valid Name or click on the Combo Box."),
                          QStringLiteral("Log In Error"));
        return;
    }
    const auto ending = readDateTime(endingDate);
    if (!ending) {
        refuseUnreadableDate(endingDate);
        return;
    }
    try {
        clearEventsBefore(manuse->connection(), name, *ending);
    } catch (const DbError &error) {
        // One employee's log that cannot be cleared must not stop the clearing of the others.
        prompts().warning(QStringLiteral("Sorry, the log of %1 could not be cleared: %2.  "
                                         "Nothing of it was deleted.")
                              .arg(name, error.description()),
                          ClearError);
        return;
    }
    database->refresh();
    manuse->setRecordSource(name);
    manuse->refresh();
}

void frmmain::dltdata_Click()
{
    if (prompts().ask(QStringLiteral("This will delete all clock in and clock out values.  It "
                                     "should only be done at the end of a time period.  Are you "
                                     "sure you want to continue ?"),
                      QStringLiteral("Horalink Warning"), Buttons::YesNo, Icon::Stop,
                      Button::No) == Button::Yes)
        clearTimeLog(database->connection(), database->recordSource());
    fxngettotal(m_session.employee);
}

} // namespace horalink
