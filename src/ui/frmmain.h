#pragma once

#include "clock/clocking.h"
#include "clock/session.h"
#include "db/settings.h"
#include "ui/form.h"

#include <functional>
#include <optional>

class QAction;
class QDateTime;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QMenuBar;
class QTabWidget;
class QTableView;
class QTimer;

namespace horalink {

class BoundEditRefused;
class ClockQueue;
class DataControl;
class DbError;
class InputWatch;
struct TimeCard;
struct Totals;

// The main window: the signed-on user's clock, totals and time log, the manager's panel, and
// the "About" page. It acts for the session handed to it at sign-on, and shows the switches in
// force; it holds neither in its captions.
class frmmain : public Form
{
    Q_OBJECT

public:
    frmmain();

    void loaded() override;

    // A successful sign-on: from here on the window acts for this user, under the settings
    // as they are stored now.
    void signOn(const Session &session, const Settings &settings);
    const Session &session() const { return m_session; }
    // Shows the effect of a program-wide switch just stored.
    void switchStored(Switch which, bool on);
    // The employee the Management tab's browser shows.
    QString shownEmployee() const;
    // After a successful add: the browser lists the new employee.
    void employeeAdded();
    // Stands the Management tab's browser on the employee, and shows the tab.
    void showEmployee(const QString &employee);

    // The signed-on user's clock events and totals.
    void fxnclockin(const QString &task);
    void fxnclockout();
    void fxngettotal();
    // The totals of the employee shown in the Management tab.
    void mangettotal(const QString &manuser);

protected:
    void closeBoxClicked() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Command;
    static const QList<Command> &commandTable();

    QWidget *buildTimeFunctions();
    void buildClockButtons(QGridLayout *rows, QWidget *page);
    void buildFigures(QGridLayout *rows, QWidget *page);
    QLayout *buildUpdateRow(QWidget *page);
    QWidget *buildEventFrame(QWidget *page);
    QWidget *buildManagement();
    QWidget *buildFunctions(QWidget *panel);
    QWidget *buildEmployeeFrame(QWidget *panel);
    void buildEmployeeList(QWidget *frame);
    QWidget *buildGridPanel(QWidget *panel);
    QWidget *buildManagementHint(QWidget *page);
    QWidget *buildAbout();
    QWidget *buildClockFrame();
    void buildMenu();
    void connectHandlers();
    void wire(QObject *control, void (frmmain::*handler)());

    void clockTimerTimedOut();
    void signOffWhenLeftAlone();
    void exitActionTriggered();
    // The signed-on user leaves: typed edits are stored or reported, and the windows that act
    // for the user go, so that none of them serves whoever signs on next.
    void leave();
    void reportDroppedEdit(const BoundEditRefused &refusal);
    void reportUpdateFailure(const DbError &error);
    void employeeListMoved();
    void showTotals(const Totals &totals, QLabel *hours, QLabel *wages);
    void showSettings(const Settings &settings);
    void applySwitches(const Switches &switches);

    // Commands; a button and its menu entry share one.
    void clockInCommand();
    void mustClockOut();
    void clockOutCommand();
    void eventStampEditChanged();
    void fxnupdate();
    void deleteLastActionTriggered();
    void gridToggleLabelClicked();
    void refreshGrid();
    void widenForGrid();
    void hoursButtonClicked();
    void printLogButtonClicked();
    void printEveryCard(const QDateTime &ending);
    void printShownCard(const QDateTime &ending);
    void manprintlog(const QString &employee, const QDateTime &ending);
    void printLogActionTriggered();
    void printCardOf(const std::optional<TimeCard> &card);
    void configureButtonClicked();
    void clearLogButtonClicked();
    void clearShownLog(const QString &endingDate);
    void clearEveryLog(const QString &endingDate);
    void manclearlog(const QString &employee, const QDateTime &ending);
    void clearLogActionTriggered();
    void addEmployeeButtonClicked();
    void changePasswordButtonClicked();
    void changeMyPasswordActionTriggered();
    void deleteEmployeeButtonClicked();
    void payPeriodButtonClicked();

    // Kept clock-ins and clock-outs (frmmainkept.cpp).
    struct Clocked
    {
        // Nothing when the server is away and the clock knows not the last event.
        std::optional<ClockOutcome> outcome;
        bool kept = false;
    };
    Clocked
    clockHere(const QString &status, const std::function<ClockOutcome()> &onServer,
              const std::function<std::optional<ClockOutcome>(ClockQueue &, bool)> &keeping);
    Clocked clockInHere(const QString &task, const QDateTime &now);
    Clocked clockOutHere(const QDateTime &now);
    // Sends what the clock kept; false, keeping it, while the server is away.
    bool sendKept(ClockQueue &queue);
    // Reads the user's log again; false while the server is away.
    bool refreshLogHere();
    // The user's last status, from the server, or while it is away as the clock knows it.
    std::optional<QString> lastStatusHere();
    // The totals, or while the server is away an empty view of the log and a word why.
    void totalsHere();
    void showAway(const DbError &error);
    // The last status the clock knows, and nothing else of the log.
    void showKnownOnly();
    void showKeptNote(const QString &text);
    void tellKept(const Clocked &clocked);

    // The company's name as the About page and the cards show it.
    QString companyName() const;

    Session m_session;
    Settings m_settings;
    InputWatch *m_inputWatch;

    QTimer *clockTimer;
    QLabel *dateLabel;
    QLabel *timeLabel;
    QTabWidget *tabs;
    QMenuBar *menuBar;

    // "Time Functions"
    QLabel *userNameLabel;
    QLabel *hoursLabel;
    QGroupBox *wagesFrame;
    QLabel *wagesLabel;
    // Shown in the place of the wages while they are hidden.
    QFrame *productPicture;
    QLineEdit *eventStampEdit;
    QLabel *eventTaskLabel;
    QLabel *eventStatusLabel;
    // The signed-on user's time log, with its navigator.
    DataControl *userLog;
    // What became of the clock-ins and clock-outs kept on this clock while the server was
    // away; hidden while there is nothing to tell.
    QLabel *keptLabel;
    QAction *printLogAction;
    QAction *clearLogAction;

    // "Management"
    QWidget *managementPanel;
    // Stands in the panel's place while it is hidden.
    QLabel *managementHintLabel;
    // The employee list, with its navigator.
    DataControl *employeeList;
    QLineEdit *employeeNameEdit;
    QLineEdit *wageEdit;
    QLabel *employeeHoursLabel;
    QLabel *employeeWagesLabel;
    QFrame *gridPanel;
    QTableView *grid;
    // The time log of the employee chosen in the Management tab: the grid's and the figures'.
    DataControl *chosenLog;

    // "About"
    QLabel *companyLabel;
    // Where the data is: the file and its folder, or the database server.
    QLabel *locationLabel;
};

} // namespace horalink
