// Printed time cards: the manager's cards up to an ending date, and the user's own card.
#include "app/clock.h"
#include "app/prompts.h"
#include "db/datacontrol.h"
#include "db/datetimetext.h"
#include "db/timelog.h"
#include "db/timelogrows.h"
#include "mainwin/frmmain.h"
#include "reports/card.h"
#include "reports/lineprinter.h"

#include <QLabel>
#include <QLineEdit>

namespace horalink {

namespace {

const QString Ename = QStringLiteral("ename");

// The typed ending date as a date and time; an unreadable one is refused with a warning.
std::optional<QDateTime> readEndingDate(const QString &typed)
{
    const auto ending = readDateTime(typed);
    if (!ending)
        prompts().warning(QStringLiteral("\"%1\" is not a date. Please enter the ending date as a "
                                         "date, or a date and time such as %2.")
                              .arg(typed, generalDateText(clock().now())),
                          QStringLiteral("Print Error"));
    return ending;
}

// The listed names in list order, each once: a name listed twice has one time log and gets
// one card, and a row without a name has no log to print.
QStringList listedNames(DataControl &list)
{
    QStringList names;
    list.moveFirst();
    while (!list.eof()) {
        const QVariant name = list.field(Ename);
        if (!name.isNull() && !names.contains(name.toString()))
            names << name.toString();
        list.moveNext();
    }
    return names;
}

} // namespace

void frmmain::Command3_Click()
{
    const Button everyone = prompts().ask(
        QStringLiteral("Would you like to print all employees? (default:  print current employee "
                       "only)"),
        QStringLiteral("Print"), Buttons::YesNoCancel, Icon::None, Button::Yes);
    if (everyone == Button::Cancel)
        return;
    const QString endingDate = prompts().input(QStringLiteral("Enter an ending date:"),
                                               QStringLiteral("Print Horalink through this "
                                                              "ending date: "),
                                               generalDateText(clock().now()));
    if (endingDate.isEmpty() || !readEndingDate(endingDate))
        return;
    if (everyone == Button::No) {
        manprintlog(endingDate);
        return;
    }
    // Each card is printed with the list standing on its employee, as the name box shows it.
    for (const QString &name : listedNames(*mandata)) {
        findByName(*mandata, Ename, name);
        manprintlog(endingDate);
    }
    mandata->moveFirst();
}

void frmmain::manprintlog(const QString &endingDate)
{
    const auto ending = readEndingDate(endingDate);
    if (!ending)
        return;
    const QString name = manlist->text();
    if (!findByName(*mandata, Ename, name)) {
        prompts().warning(QStringLiteral("Please enter a valid Name or click on the Combo Box."),
                          QStringLiteral("Log In Error"));
        return;
    }
    manuse->setRecordSource(name);
    manuse->refresh();
    if (manuse->eof())
        return;
    const QList<TimeLogRow> rows = readTimeLogRows(manuse->connection(), name);
    printCard(managerCard(company->text(), name, rows, *ending, clock().now()), printer());
    manuse->moveLast();
    fxngettotal(m_session.employee);
}

void frmmain::prntdata_Click()
{
    prompts().plain(QStringLiteral("The data is being sent to the default printer"));
    const QString table = database->recordSource();
    const QList<TimeLogRow> rows = readTimeLogRows(database->connection(), table);
    // The entry is meant for a log with events; one emptied meanwhile gets no card, and the
    // totals below bring the window up to date.
    if (!rows.isEmpty()) {
        const bool clockedIn =
            lastStatus(database->connection(), table).toString() == ClockedIn;
        printCard(userCard(company->text(), m_session.employee, rows, clockedIn, clock().now()),
                  printer());
    }
    fxngettotal(m_session.employee);
}

} // namespace horalink
