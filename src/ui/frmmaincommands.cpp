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
    if (m_switches.subs) {
        refreshLogHere();
        fxnclockin(m_session.employee);
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

void frmmain::fxnclockin(const QString &thisusername)
{
    // Stamped at the press, before anything kept is sent.
    const QDateTime now = clock().now();
    // Without the prompt, when the switch turned it off, the task is empty.
    const QString task = forms().isLoaded<frmsub>() ? forms().frmsub().taskEdit->text() : QString();
    Session user = m_session;
    user.employee = thisusername;
    const Clocked clocked = clockInHere(user, task, now);
    if (clocked.outcome == ClockOutcome::MustClockOut)
        mustClockOut();
    if (clocked.kept)
        tellKept(clocked);
    else
        totalsHere();
}

void frmmain::clockOutCommand()
{
    fxnclockout(m_session.employee);
}

void frmmain::fxnclockout(const QString &username)
{
    const QDateTime now = clock().now();
    Session user = m_session;
    user.employee = username;
    const Clocked clocked = clockOutHere(user, now);
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

void frmmain::fxngettotal(const QString &username)
{
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
    mangettotal(employeeNameEdit->text());
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
        fxngettotal(m_session.employee);
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
    chosenLog->setRecordSource(employeeNameEdit->text());
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
        manprintlog(endingDate);
    else
        printEveryCard(endingDate, *ending);
}

void frmmain::printEveryCard(const QString &endingDate, const QDateTime &ending)
{
    const QList<ListedEmployee> employees = listedEmployees(managingDatabase());
    if (!printingAllConfirmed(employees.size(), ending) || !printer().startBatch())
        return;
    {
        const auto progress = prompts().progress(QStringLiteral("Print Log"), employees.size());
        for (int done = 0; done < employees.size(); ++done) {
            if (!progress->next(done, employeeOf(done, employees.size(), employees[done].name)))
                break;
            // Each card is printed with the list standing on its employee, as the name box
            // shows it.
            findByName(*employeeList, Ename, employees[done].name);
            manprintlog(endingDate);
        }
    }
    printer().endBatch();
    employeeList->moveFirst();
}

void frmmain::manprintlog(const QString &endingDate)
{
    const QString name = employeeNameEdit->text();
    if (!findByName(*employeeList, Ename, name)) {
        prompts().warning(NotListed, LogInError);
        return;
    }
    chosenLog->setRecordSource(name);
    chosenLog->refresh();
    if (chosenLog->eof())
        return;
    printCardOf(managerCardOf(managingDatabase(), companyLabel->text(), name,
                              *readDateTime(endingDate), clock().now()));
    chosenLog->moveLast();
    fxngettotal(m_session.employee);
}

void frmmain::printLogActionTriggered()
{
    prompts().plain(printer().savesAsPdf()
                        ? QStringLiteral("There is no default printer, so the time card is saved "
                                         "as a PDF file.")
                        : QStringLiteral("The data is being sent to the default printer"));
    // The entry is meant for a log with events; one emptied meanwhile gets no card, and the
    // totals below bring the window up to date.
    printCardOf(userCardOf(file(), companyLabel->text(), m_session.employee, clock().now()));
    fxngettotal(m_session.employee);
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
    if (everyone == Button::Yes)
        employeeList->moveFirst();
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
    const auto ending = readDateTime(endingDate);
    if (!ending || clearingConfirmed(employeeNameEdit->text(), *ending))
        manclearlog(endingDate);
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
    const int total = int(countListRows(managingDatabase()));
    const auto progress = prompts().progress(QStringLiteral("Clear Log"), total);
    for (int done = 0; !employeeList->eof(); ++done) {
        if (!progress->next(done, employeeOf(done, total, employeeNameEdit->text())))
            break;
        manclearlog(endingDate);
        employeeList->moveNext();
    }
}

void frmmain::manclearlog(const QString &endingDate)
{
    const QString name = employeeNameEdit->text();
    if (!isListed(managingDatabase(), name)) {
        prompts().warning(NotListed, LogInError);
        return;
    }
    const auto ending = readDateTime(endingDate);
    if (!ending) {
        refuseUnreadableEnding(endingDate, clock().now());
        return;
    }
    const ClearResult result = clearEmployeeLog(managingDatabase(), name, *ending);
    if (result.step == ClearStep::Failed) {
        // One employee's log that cannot be cleared must not stop the clearing of the others.
        prompts().warning(QStringLiteral("Sorry, the log of ") + name +
                              QStringLiteral(" could not be cleared: ") + result.reason +
                              QStringLiteral(".  Nothing of it was deleted."),
                          QStringLiteral("Clear Error"));
        return;
    }
    userLog->refresh();
    chosenLog->setRecordSource(name);
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
    fxngettotal(m_session.employee);
}

void frmmain::configureButtonClicked()
{
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
    showWindow(forms().frmpass());
}

void frmmain::changePasswordButtonClicked()
{
    frmpass &window = forms().frmpass();
    window.employeePanel->show();
    window.employeePanel->raise();
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
    const QString name = employeeNameEdit->text();
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
