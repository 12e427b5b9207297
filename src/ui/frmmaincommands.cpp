// The main window's commands: each reads its controls, calls one procedure and shows what came
// of it.
#include "admin/clearing.h"
#include "clock/clock.h"
#include "clock/clocking.h"
#include "clock/clockqueue.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "db/employees.h"
#include "db/roster.h"
#include "db/timelog.h"
#include "db/timelogmodel.h"
#include "reports/figures.h"
#include "reports/timecards.h"
#include "reports/totals.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmadd.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/frmpass.h"
#include "ui/frmperiod.h"
#include "ui/frmprop.h"
#include "ui/frmsub.h"
#include "ui/keptclock.h"
#include "ui/printer.h"
#include "ui/prompts.h"

#include <algorithm>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>

namespace horalink {

namespace {

Connection &file()
{
    return openDatabase(EmployeeMdb);
}

const QString Ename = QStringLiteral("ename");
const QString EndingDatePrompt = QStringLiteral("Enter an ending date:");

void showWindow(Form &window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

void refuseUnreadableEnding(const QString &typed, const QDateTime &now)
{
    prompts().warning(
        QStringLiteral("Sorry, \"") + typed +
            QStringLiteral("\" is not a date.  Please enter an ending date such as ") +
            generalDateText(now) + QStringLiteral(".  Nothing was cleared."),
        QStringLiteral("Clear Error"));
}

// A moment spelled out, to the minute that the clearing and the cards compare: a short date is
// read as the locale writes it, which may not be as the user meant it ("12/03/2026" is the 3rd
// of December in English). "Thursday, December 3, 2026, 12:00 AM"; in German "Donnerstag,
// 3. Dezember 2026, 00:00".
QString momentInWords(const QDateTime &moment)
{
    const QLocale locale;
    return locale.toString(moment.date(), QLocale::LongFormat) + QStringLiteral(", ") +
           locale.toString(moment.time(), QLocale::ShortFormat);
}

QString eventsRemoved(qint64 events)
{
    return events == 1 ? QStringLiteral("1 event will be removed.")
                       : QString::number(events) + QStringLiteral(" events will be removed.");
}

// Asked once more before a step that is not undone, No being what Enter answers.
bool confirmed(const QString &text, const QString &title, Icon icon)
{
    return prompts().ask(text, title, Buttons::YesNo, icon, Button::No) == Button::Yes;
}

bool clearingConfirmed(const QString &employee, const QDateTime &ending)
{
    const ClearResult preview = previewClearing(managingDatabase(), employee, ending);
    // What cannot be cleared is told by the clearing itself, with no question before.
    if (preview.step != ClearStep::Cleared)
        return true;
    return confirmed(QStringLiteral("Clear ") + employee + QStringLiteral("'s log before ") +
                         momentInWords(ending) + QStringLiteral("? ") +
                         eventsRemoved(preview.events),
                     QStringLiteral("Clear"), Icon::Stop);
}

bool clearingAllConfirmed(const QDateTime &ending)
{
    const ClearPreview preview = previewClearingAll(managingDatabase(), ending);
    const QString whose = preview.employees == 1 ? QStringLiteral("the log of the only employee")
                                                 : QStringLiteral("the logs of all ") +
                                                       QString::number(preview.employees) +
                                                       QStringLiteral(" employees");
    return confirmed(QStringLiteral("Clear ") + whose + QStringLiteral(" before ") +
                         momentInWords(ending) + QStringLiteral("? ") +
                         eventsRemoved(preview.events),
                     QStringLiteral("Clear"), Icon::Stop);
}

bool printingAllConfirmed(qsizetype employees, const QDateTime &ending)
{
    const QString whose = employees == 1
                              ? QStringLiteral("the time card of the only employee")
                              : QStringLiteral("the time cards of all ") +
                                    QString::number(employees) + QStringLiteral(" employees");
    return confirmed(QStringLiteral("Print ") + whose + QStringLiteral(" through ") +
                         momentInWords(ending) +
                         QStringLiteral("? Shifts that begin at that moment or later are not "
                                        "printed."),
                     QStringLiteral("Print"), Icon::Question);
}

} // namespace

void frmmain::clockInCommand()
{
    // Clocking in checks the last event itself; the prompt is not shown to someone who could
    // not clock in.
    if (m_settings.switches.subs) {
        refreshLogHere();
        // Without the prompt the task is empty.
        fxnclockin({});
        return;
    }
    if (lastStatusHere() == ClockedIn) {
        mustClockOut();
        return;
    }
    showWindow(forms().frmsub());
}

void frmmain::mustClockOut()
{
    prompts().warning(QStringLiteral("You must first Clock Out."),
                      QStringLiteral("Clock In Error"));
}

void frmmain::fxnclockin(const QString &task)
{
    // Stamped at the press, before anything kept is sent.
    const QDateTime now = clock().now();
    const Clocked clocked = clockInHere(task, now);
    if (clocked.outcome == ClockOutcome::MustClockOut)
        mustClockOut();
    if (clocked.kept)
        tellKept(clocked);
    else
        totalsHere();
}

void frmmain::clockOutCommand()
{
    fxnclockout();
}

void frmmain::fxnclockout()
{
    const QDateTime now = clock().now();
    const Clocked clocked = clockOutHere(now);
    switch (clocked.outcome.value_or(ClockOutcome::Stored)) {
    case ClockOutcome::MustClockInFirst:
        prompts().warning(QStringLiteral("You must first Clock in."),
                          QStringLiteral("Clock out Error"));
        break;
    case ClockOutcome::MustClockIn:
        prompts().warning(QStringLiteral("You must first Clock In."),
                          QStringLiteral("Clock out Error"));
        break;
    case ClockOutcome::MustClockOut:
    case ClockOutcome::Stored:
        break;
    }
    if (clocked.kept)
        tellKept(clocked);
    else
        totalsHere();
}

void frmmain::showTotals(const Totals &totals, QLabel *hours, QLabel *wages)
{
    hours->setText(totals.hours);
    wages->setText(totals.wages);
}

void frmmain::fxngettotal()
{
    const QString &username = m_session.employee;
    userLog->setRecordSource(username);
    userLog->refresh();
    showTotals(totalsOf(file(), username, m_session.wage, clock().now()), hoursLabel, wagesLabel);
    // Clocking in and out and the browser rely on the log standing on its last event.
    if (!userLog->eof())
        userLog->moveLast();
    // What the clock goes on with, should the server be away at the next press.
    if (ClockQueue *queue = clockQueue())
        queue->learnStatus(
            username, userLog->eof()
                          ? std::nullopt
                          : std::optional(userLog->field(QStringLiteral("inoutfx")).toString()));
}

void frmmain::mangettotal(const QString &manuser)
{
    chosenLog->setRecordSource(manuser);
    chosenLog->refresh();
    const Totals totals = totalsOf(managingDatabase(), manuser, wageEdit->text(), clock().now());
    showTotals(totals, employeeHoursLabel, employeeWagesLabel);
    // With an open shift the log is left on its first row, where it stands after a re-read.
    if (!totals.empty && !totals.openShift)
        chosenLog->moveLast();
}

void frmmain::hoursButtonClicked()
{
    mangettotal(shownEmployee());
    if (!readNumber(wageEdit->text()))
        prompts().warning(QStringLiteral("The wage \"") + wageEdit->text() +
                              QStringLiteral("\" is not a number, so no wages can be estimated."),
                          QStringLiteral("Get Hrs/$"));
}

void frmmain::eventStampEditChanged()
{
    const bool eventShown = !eventStampEdit->text().isEmpty();
    printLogAction->setEnabled(eventShown);
    clearLogAction->setEnabled(eventShown);
}

void frmmain::fxnupdate()
{
    // The one procedure that reports its own failures and goes on.
    try {
        if (userLog->hasCurrentRow())
            userLog->updateRecord();
        fxngettotal();
    } catch (const DbError &error) {
        reportUpdateFailure(error);
    }
}

void frmmain::deleteLastActionTriggered()
{
    // Read once, after the removal: the view shows the log as it is either way.
    deleteLastEvent(file(), m_session.employee);
    userLog->refresh();
}

void frmmain::gridToggleLabelClicked()
{
    chosenLog->setRecordSource(shownEmployee());
    chosenLog->refresh();
    QAbstractItemModel *previous = grid->model();
    auto *model = new TimeLogModel(managingDatabase(), chosenLog->recordSource(), grid);
    connect(model, &TimeLogModel::refused, this,
            [](const QString &reason) { prompts().warning(reason, QStringLiteral("Grid Error")); });
    grid->setModel(model);
    delete previous;
    gridPanel->setHidden(!gridPanel->isHidden());
    if (!gridPanel->isHidden())
        widenForGrid();
}

// The log's columns are shown whole and headed by their fields: a window too narrow for them
// grows, as far as the screen allows; what is wider still is reached by scrolling.
void frmmain::widenForGrid()
{
    managementPanel->layout()->activate();
    gridPanel->layout()->activate();
    const QHeaderView *header = grid->horizontalHeader();
    // Each column's texts as the view measures them; the table view keeps that to itself.
    const QAbstractItemView *view = grid;
    int needed = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < header->count(); ++column)
        needed += std::max(header->sectionSizeHint(column), view->sizeHintForColumn(column));
    const int missing = needed - grid->width();
    if (missing <= 0)
        return;
    const int border = frameGeometry().width() - width();
    const int widest = screen()->availableGeometry().width() - border;
    resize(std::max(width(), std::min(width() + missing, widest)), height());
}

void frmmain::refreshGrid()
{
    if (auto *model = qobject_cast<TimeLogModel *>(grid->model()); model && grid->isVisible())
        model->refreshIfChanged();
}

void frmmain::printLogButtonClicked()
{
    const Button everyone = prompts().ask(
        QStringLiteral("Would you like to print all employees? (default:  print current employee "
                       "only)"),
        QStringLiteral("Print"), Buttons::YesNoCancel, Icon::None, Button::No);
    if (everyone == Button::Cancel)
        return;
    const QString endingDate = prompts().input(
        EndingDatePrompt, QStringLiteral("Print Horalink through this ending date: "),
        generalDateText(clock().now()));
    if (endingDate.isEmpty())
        return;
    const auto ending = readDateTime(endingDate);
    if (!ending) {
        prompts().warning(QLatin1Char('"') + endingDate +
                              QStringLiteral("\" is not a date. Please enter the ending date as a "
                                             "date, or a date and time such as ") +
                              generalDateText(clock().now()) + QLatin1Char('.'),
                          QStringLiteral("Print Error"));
        return;
    }
    if (everyone == Button::No)
        printShownCard(*ending);
    else
        printEveryCard(*ending);
}

void frmmain::printShownCard(const QDateTime &ending)
{
    const QString name = shownEmployee();
    if (!findByName(*employeeList, Ename, name)) {
        prompts().warning(NotListed, LogInError);
        return;
    }
    manprintlog(name, ending);
}

void frmmain::printEveryCard(const QDateTime &ending)
{
    const QList<ListedEmployee> employees = listedEmployees(managingDatabase());
    if (!printingAllConfirmed(employees.size(), ending) || !printer().startBatch())
        return;
    {
        const auto progress = prompts().progress(QStringLiteral("Print Log"), employees.size());
        for (int done = 0; done < employees.size(); ++done) {
            if (!progress->next(done, employeeOf(done, employees.size(), employees[done].name)))
                break;
            manprintlog(employees[done].name, ending);
        }
    }
    printer().endBatch();
    employeeList->moveFirst();
}

void frmmain::manprintlog(const QString &employee, const QDateTime &ending)
{
    chosenLog->setRecordSource(employee);
    chosenLog->refresh();
    if (chosenLog->eof())
        return;
    printCardOf(managerCardOf(managingDatabase(), companyName(), employee, ending, clock().now()));
    chosenLog->moveLast();
    fxngettotal();
}

void frmmain::printLogActionTriggered()
{
    prompts().plain(printer().savesAsPdf()
                        ? QStringLiteral("There is no default printer, so the time card is saved "
                                         "as a PDF file.")
                        : QStringLiteral("The data is being sent to the default printer"));
    // The entry is meant for a log with events; one emptied meanwhile gets no card, and the
    // totals below bring the window up to date.
    printCardOf(userCardOf(file(), companyName(), m_session.employee, clock().now()));
    fxngettotal();
}

void frmmain::printCardOf(const std::optional<TimeCard> &card)
{
    if (card)
        printCard(*card, printer());
}

void frmmain::clearLogButtonClicked()
{
    const Button everyone =
        prompts().ask(QStringLiteral("Would you like to clear the log for all employees? "
                                     "(default: clear current employee only)"),
                      QStringLiteral("Clear"), Buttons::YesNoCancel, Icon::None, Button::No);
    if (everyone == Button::Cancel)
        return;
    const QString ending =
        prompts().input(EndingDatePrompt, QStringLiteral("Clear log until this date: "),
                        generalDateText(clock().now()));
    if (!ending.isEmpty()) {
        if (everyone == Button::No)
            clearShownLog(ending);
        else
            clearEveryLog(ending);
    }
    employeeList->refresh();
}

void frmmain::clearShownLog(const QString &endingDate)
{
    const QString name = shownEmployee();
    const auto ending = readDateTime(endingDate);
    // An employee no longer listed is told first, whatever was typed.
    if (!ending && !isListed(managingDatabase(), name))
        prompts().warning(NotListed, LogInError);
    else if (!ending)
        refuseUnreadableEnding(endingDate, clock().now());
    else if (clearingConfirmed(name, *ending))
        manclearlog(name, *ending);
}

void frmmain::clearEveryLog(const QString &endingDate)
{
    const auto ending = readDateTime(endingDate);
    if (!ending) {
        // Told once here rather than once for every employee.
        refuseUnreadableEnding(endingDate, clock().now());
        return;
    }
    if (!clearingAllConfirmed(*ending))
        return;
    // Row by row, so that a row the clearing cannot take is told, not passed over.
    const QStringList names = listRowNames(managingDatabase());
    const auto progress = prompts().progress(QStringLiteral("Clear Log"), names.size());
    for (int done = 0; done < names.size(); ++done) {
        if (!progress->next(done, employeeOf(done, names.size(), names[done])))
            break;
        manclearlog(names[done], *ending);
    }
}

void frmmain::manclearlog(const QString &employee, const QDateTime &ending)
{
    const ClearResult result = clearEmployeeLog(managingDatabase(), employee, ending);
    switch (result.step) {
    case ClearStep::NotListed:
        prompts().warning(NotListed, LogInError);
        return;
    case ClearStep::Failed:
        // One employee's log that cannot be cleared must not stop the clearing of the others.
        prompts().warning(QStringLiteral("Sorry, the log of ") + employee +
                              QStringLiteral(" could not be cleared: ") + result.reason +
                              QStringLiteral(".  Nothing of it was deleted."),
                          QStringLiteral("Clear Error"));
        return;
    case ClearStep::Cleared:
        break;
    }
    userLog->refresh();
    chosenLog->setRecordSource(employee);
    chosenLog->refresh();
}

void frmmain::clearLogActionTriggered()
{
    if (prompts().ask(QStringLiteral("This will delete all clock in and clock out values.  It "
                                     "should only be done at the end of a time period.  Are you "
                                     "sure you want to continue ?"),
                      QStringLiteral("Horalink Warning"), Buttons::YesNo, Icon::Stop,
                      Button::No) == Button::Yes)
        clearTimeLog(managingDatabase(), m_session.employee);
    fxngettotal();
}

void frmmain::configureButtonClicked()
{
    // It shows the switches in force already: the window hands them on at every change.
    showWindow(forms().frmprop());
}

void frmmain::addEmployeeButtonClicked()
{
    employeeNameEdit->setEnabled(false);
    showWindow(forms().frmadd());
}

void frmmain::employeeAdded()
{
    employeeNameEdit->setEnabled(true);
    employeeList->refresh();
}

void frmmain::changeMyPasswordActionTriggered()
{
    frmpass &window = forms().frmpass();
    window.changeOwn(m_session);
    showWindow(window);
}

void frmmain::changePasswordButtonClicked()
{
    frmpass &window = forms().frmpass();
    // The own-password part under the panel still belongs to whoever is signed on.
    window.changeOwn(m_session);
    window.changeFor(shownEmployee());
    showWindow(window);
}

void frmmain::payPeriodButtonClicked()
{
    showWindow(forms().frmperiod());
}

void frmmain::showEmployee(const QString &employee)
{
    tabs->setCurrentIndex(1);
    findByName(*employeeList, Ename, employee);
}

void frmmain::deleteEmployeeButtonClicked()
{
    const QString name = shownEmployee();
    if (name == ManagerName) {
        prompts().warning(QStringLiteral("Sorry, cannot delete the Manager"),
                          QStringLiteral("Delete Error"));
        return;
    }
    if (!isListed(managingDatabase(), name)) {
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
    try {
        deleteEmployee(managingDatabase(), name);
    } catch (const DbError &error) {
        prompts().warning(QStringLiteral("Sorry, the Employee could not be deleted: ") +
                              error.description() + QStringLiteral(".  Nothing was changed."),
                          QStringLiteral("Delete Error"));
        return;
    }
    forms().frmlogon().removeName(name);
    prompts().information(QStringLiteral("Employee has been deleted."),
                          QStringLiteral("Information"));
    employeeList->refresh();
    chosenLog->setRecordSource(name);
    // An employee listed without a time log has no log to show.
    if (hasTimeLog(managingDatabase(), name))
        chosenLog->refresh();
}

} // namespace horalink
