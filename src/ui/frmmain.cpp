#include "frmmain.h"

#include "admin/newemployee.h"
#include "clock/clock.h"
#include "db/database.h"
#include "db/datetimetext.h"
#include "ui/clicklabel.h"
#include "ui/controls.h"
#include "ui/datacontrol.h"
#include "ui/forms.h"
#include "ui/frmadd.h"
#include "ui/frmlogon.h"
#include "ui/frmpass.h"
#include "ui/frmperiod.h"
#include "ui/frmprop.h"
#include "ui/frmsub.h"
#include "ui/inputwatch.h"
#include "ui/keptclock.h"
#include "ui/pictures.h"
#include "ui/program.h"
#include "ui/prompts.h"
#include "ui/version.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace horalink {

namespace {

// How long the main window waits for input before it signs its user off, while that switch
// is on.
constexpr qint64 LeftAloneSeconds = 2 * 60;

QLabel *label(const char *name, const QString &caption, QWidget *parent, Qt::Alignment alignment)
{
    QLabel *label = horalink::label(name, caption, parent);
    label->setAlignment(alignment);
    return label;
}

QAction *action(const char *name, const QString &caption, QObject *parent,
                const QKeySequence &shortcut = {})
{
    auto *action = named(new QAction(caption, parent), name);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

} // namespace

frmmain::frmmain() : Form(SizableWindow)
{
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(ProgramTitle);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips(135), 0, twips(135), twips(60));
    layout->setSpacing(twips(45));
    buildMenu();
    layout->setMenuBar(menuBar);

    tabs = named(new QTabWidget(this), "SSTab1");
    tabs->setMinimumSize(twips(4695), twips(3495));
    tabs->setAccessibleName(QStringLiteral("Tabs"));
    tabs->addTab(buildTimeFunctions(), QStringLiteral("Time Functions"));
    tabs->addTab(buildManagement(), QStringLiteral("Management"));
    tabs->addTab(buildAbout(), QStringLiteral("About"));
    layout->addWidget(tabs);

    clockFrame = frame("Frame1", QStringLiteral("Time and Date:"), this);
    auto *clockRow = new QHBoxLayout(clockFrame);
    clockRow->setContentsMargins(4, 0, 4, 2);
    dateLabel = label("lbldate", QStringLiteral("Date"), clockFrame, Qt::AlignCenter);
    dateLabel->setToolTip(QStringLiteral("Current Date"));
    timeLabel = label("lbltime", QStringLiteral("Time"), clockFrame, Qt::AlignCenter);
    timeLabel->setToolTip(QStringLiteral("Current Time"));
    for (QLabel *clockLabel : {dateLabel, timeLabel}) {
        QFont big = clockLabel->font();
        big.setPointSize(12);
        clockLabel->setFont(big);
        clockRow->addWidget(clockLabel);
    }
    layout->addWidget(clockFrame);

    // Kept out of sight: the wage text of the signed-on user and the chosen employee's log.
    wageLabel = label("Thismoney", QStringLiteral("this money"), this);
    wageLabel->hide();
    chosenLog = new DataControl(QStringLiteral("manuse"), this);
    chosenLog->setManaging(true);
    chosenLog->hide();

    clockTimer = named(new QTimer(this), "Timer1");
    clockTimer->setInterval(250);
    m_inputWatch = new InputWatch(this);

    // The design's size is the least; the window may be enlarged, and the grid and the notes
    // grow with it.
    setMinimumSize(QSize(twips(4965), twips(4440) + menuBar->sizeHint().height())
                       .expandedTo(minimumSizeHint()));
    resize(minimumSize());
    connectHandlers();
    clockTimer->start();
}

QWidget *frmmain::buildTimeFunctions()
{
    auto *page = new QWidget;
    auto *rows = new QGridLayout(page);
    rows->setContentsMargins(4, 2, 4, 2);
    rows->setVerticalSpacing(2);

    userNameLabel = label("nameemp", QStringLiteral("Manager"), page, Qt::AlignCenter);
    userNameLabel->setToolTip(QStringLiteral("This displays the current users name"));
    QFont bold = userNameLabel->font();
    bold.setBold(true);
    userNameLabel->setFont(bold);
    rows->addWidget(userNameLabel, 0, 0, 1, 2);

    clockInButton = button("clockin", QStringLiteral("ClockIn (F1)"), page,
                           QStringLiteral("Click here to Clock In"));
    clockOutButton = button("clockout", QStringLiteral("ClockOut (F2)"), page,
                            QStringLiteral("Click here to Clock Out"));
    rows->addWidget(clockInButton, 1, 0);
    rows->addWidget(clockOutButton, 1, 1);

    hoursFrame = frame("Frame7", QStringLiteral("Tot. Hours"), page);
    auto *hoursBox = new QHBoxLayout(hoursFrame);
    hoursBox->setContentsMargins(4, 0, 4, 2);
    hoursLabel = label("currhours", QStringLiteral("0"), hoursFrame, Qt::AlignCenter);
    hoursLabel->setToolTip(QStringLiteral("Total number of hours"));
    hoursBox->addWidget(hoursLabel);
    rows->addWidget(hoursFrame, 2, 0);

    wagesFrame = frame("frmmoney", QStringLiteral("Est. Wages"), page);
    auto *moneyBox = new QHBoxLayout(wagesFrame);
    moneyBox->setContentsMargins(4, 0, 4, 2);
    dollarLabel = label("Label4", QStringLiteral("$"), wagesFrame);
    wagesLabel = label("currmoney", QStringLiteral("0.00"), wagesFrame);
    moneyBox->addWidget(dollarLabel);
    moneyBox->addWidget(wagesLabel, 1);
    rows->addWidget(wagesFrame, 2, 1);

    // Lies exactly where the wages frame lies, shown in its place while wages are hidden.
    productPicture = named(new QFrame(page), "Picture2");
    auto *pictureBox = new QHBoxLayout(productPicture);
    pictureBox->setContentsMargins(0, 0, 0, 0);
    productNameLabel = label("Label13", {}, productPicture, Qt::AlignCenter);
    productNameLabel->setPixmap(productNamePicture());
    pictureBox->addWidget(productNameLabel);
    productPicture->hide();
    rows->addWidget(productPicture, 2, 1);

    auto *updateRow = new QHBoxLayout;
    updateHintLabel = named(new ClickLabel(QStringLiteral("click here to"), page), "Label12");
    updateHintLabel->setToolTip(QStringLiteral("Click here to update the total hours"));
    updateLabel = named(new ClickLabel(QStringLiteral("UPDATE"), page), "Label11");
    updateLabel->setToolTip(QStringLiteral("Update the total hours"));
    updateLabel->setFont(bold);
    updateRow->setSpacing(4);
    updateRow->addStretch();
    updateRow->addWidget(updateHintLabel);
    updateRow->addWidget(updateLabel);
    rows->addLayout(updateRow, 3, 0, 1, 2);

    eventFrame = frame("Frame2", QStringLiteral("Horalink Data:"), page);
    auto *record = new QGridLayout(eventFrame);
    record->setContentsMargins(4, 0, 4, 2);
    record->setVerticalSpacing(1);
    eventStampEdit = named(new QLineEdit(eventFrame), "lgndatetime");
    eventStampEdit->setAlignment(Qt::AlignCenter);
    eventStampEdit->setToolTip(QStringLiteral("Current records time and data"));
    eventTaskLabel = label("Label5", {}, eventFrame);
    eventStatusLabel = label("Lastlogonvalue", QStringLiteral("LastLogon"), eventFrame,
                             Qt::AlignRight | Qt::AlignVCenter);
    eventStatusLabel->setToolTip(QStringLiteral("Status of the current record. "));
    userLog = new DataControl(QStringLiteral("database"), eventFrame);
    userLog->setCaption(QStringLiteral(" Browser"));
    userLog->setToolTip(
        QStringLiteral("Click on there \"browser\" buttons to move between records."));
    userLog->bind(eventStampEdit, QStringLiteral("datetime"));
    userLog->bind(eventTaskLabel, QStringLiteral("activity"));
    userLog->bind(eventStatusLabel, QStringLiteral("inoutfx"));
    // Leaving an event by the navigator while its typed date cannot be stored is refused as
    // UPDATE refuses it; any other way of leaving it drops the typed text and says so.
    userLog->setRefusalHandler([this](const BoundEditRefused &refusal, DataControl::Refusal kind) {
        if (kind == DataControl::Refusal::StaysOnRow)
            reportUpdateFailure(refusal);
        else
            reportDroppedEdit(refusal);
    });
    record->addWidget(eventStampEdit, 0, 0, 1, 2);
    record->addWidget(eventTaskLabel, 1, 0);
    record->addWidget(eventStatusLabel, 1, 1);
    record->addWidget(userLog, 2, 0, 1, 2);
    rows->addWidget(eventFrame, 4, 0, 1, 2);
    keptLabel = label("keptnote", {}, page);
    keptLabel->setWordWrap(true);
    keptLabel->hide();
    rows->addWidget(keptLabel, 5, 0, 1, 2);
    rows->setColumnStretch(0, 1);
    rows->setColumnStretch(1, 1);
    return page;
}

QWidget *frmmain::buildManagement()
{
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    managementPanel = named(new QWidget(page), "Picture1");
    pageLayout->addWidget(managementPanel);
    auto *rows = new QGridLayout(managementPanel);
    rows->setContentsMargins(3, 2, 3, 2);
    rows->setSpacing(2);

    functionsFrame = frame("Frame4", QStringLiteral("Functions:"), managementPanel);
    auto *functions = new QVBoxLayout(functionsFrame);
    functions->setContentsMargins(3, 0, 3, 2);
    functions->setSpacing(1);
    configureButton = button("Command2", QStringLiteral("Configure"), functionsFrame,
                             QStringLiteral("Change Horalink's properties"));
    hoursButton = button("Command1", QStringLiteral("Get Hrs/$"), functionsFrame,
                         QStringLiteral("Get the Employee's total number of hours and pay."));
    printLogButton = button("Command3", QStringLiteral("Print Log"), functionsFrame,
                            QStringLiteral("Print an Employee's Time Card"));
    clearLogButton = button("Command4", QStringLiteral("Clear Log"), functionsFrame,
                            QStringLiteral("Clear an Employee's logs"));
    addEmployeeButton = button("Command5", QStringLiteral("Add New"), functionsFrame,
                               QStringLiteral("Add a new Employee"));
    changePasswordButton = button("ChgPass", QStringLiteral("Chg Pass"), functionsFrame,
                                  QStringLiteral("Change an Employee's password"));
    deleteEmployeeButton = button("Deleteemp", QStringLiteral("Delete"), functionsFrame,
                                  QStringLiteral("Delete an Employee"));
    // Pay day comes last, below the functions it does not move.
    payPeriodButton = button("PayPeriod", QStringLiteral("Pay Period…"), functionsFrame,
                             QStringLiteral("Export, check or back up a pay period"));
    for (QPushButton *function :
         {configureButton, hoursButton, printLogButton, clearLogButton, addEmployeeButton,
          changePasswordButton, deleteEmployeeButton, payPeriodButton})
        functions->addWidget(function);
    rows->addWidget(functionsFrame, 0, 0);

    employeeFrame = frame("Frame3", QStringLiteral("Select an Employee:"), managementPanel);
    auto *employee = new QGridLayout(employeeFrame);
    employee->setContentsMargins(3, 0, 3, 2);
    employee->setVerticalSpacing(1);
    employeeList = new DataControl(QStringLiteral("mandata"), employeeFrame);
    employeeList->setManaging(true);
    employeeList->setCaption(QStringLiteral("Browser"));
    employeeList->setRecordSource(QStringLiteral("datalist"));
    employeeNameEdit = named(new QLineEdit(employeeFrame), "manlist");
    employeeNameEdit->setAlignment(Qt::AlignCenter);
    employeeNameEdit->setReadOnly(true);
    wageCaption = label("Label6", QStringLiteral("$/hr:"), employeeFrame);
    wageEdit = named(new QLineEdit(employeeFrame), "emoney");
    notesCaption = label("Label7", QStringLiteral("Notes:"), employeeFrame);
    notesEdit = named(new QTextEdit(employeeFrame), "Text1");
    notesEdit->setAcceptRichText(false);
    // A tab typed here would be stored in the note; Tab moves on, as everywhere else.
    notesEdit->setTabChangesFocus(true);
    notesEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    hoursCaption = label("Label9", QStringLiteral("Hours:"), employeeFrame);
    employeeHoursLabel = label("manehours", QStringLiteral("0.00"), employeeFrame);
    employeeDollarLabel = label("Label10", QStringLiteral("$"), employeeFrame);
    employeeWagesLabel = label("manemoney", QStringLiteral("0.00"), employeeFrame);
    wageCaption->setBuddy(wageEdit);
    notesCaption->setBuddy(notesEdit);
    employeeList->bind(employeeNameEdit, QStringLiteral("Ename"));
    employeeList->bind(wageEdit, QStringLiteral("Ewage"));
    employeeList->bind(notesEdit, QStringLiteral("Ecomment"));
    // A wage is refused here as it is where an employee is added.
    employeeList->setFieldRule(QStringLiteral("Ewage"), wageRefusal);
    // A wage or note the row will not take keeps the browser on the employee, and says why.
    employeeList->setRefusalHandler(
        [this](const BoundEditRefused &refusal, DataControl::Refusal kind) {
            if (kind == DataControl::Refusal::Dropped)
                reportDroppedEdit(refusal);
            else
                prompts().warning(refusal.description(), ProgramTitle);
        });
    employee->addWidget(employeeList, 0, 0, 1, 4);
    employee->addWidget(employeeNameEdit, 1, 0, 1, 4);
    employee->addWidget(wageCaption, 2, 0);
    employee->addWidget(wageEdit, 2, 1, 1, 3);
    employee->addWidget(notesCaption, 3, 0, Qt::AlignTop);
    employee->addWidget(notesEdit, 3, 1, 1, 3);
    employee->addWidget(hoursCaption, 4, 0);
    employee->addWidget(employeeHoursLabel, 4, 1);
    employee->addWidget(employeeDollarLabel, 4, 2);
    employee->addWidget(employeeWagesLabel, 4, 3);
    employee->setRowStretch(3, 1);
    rows->addWidget(employeeFrame, 0, 1);
    rows->setRowStretch(0, 1);
    rows->setColumnStretch(1, 1);

    gridToggleLabel =
        named(new ClickLabel(QStringLiteral("Toggle Employee Grid"), managementPanel), "Label8");
    gridToggleLabel->setToolTip(
        QStringLiteral("Click here to view an Employee's data in a Data Grid."));
    gridToggleLabel->setAlignment(Qt::AlignCenter);
    rows->addWidget(gridToggleLabel, 1, 0, 1, 2);

    // Laid over the functions and the employee browser while the grid is shown.
    gridPanel = named(new QFrame(managementPanel), "Picture3");
    gridPanel->setAutoFillBackground(true);
    auto *gridBox = new QVBoxLayout(gridPanel);
    gridBox->setContentsMargins(0, 0, 0, 0);
    grid = named(new QTableView(gridPanel), "DBGrid1");
    grid->setAccessibleName(QStringLiteral("Employee Grid"));
    grid->verticalHeader()->hide();
    // A date and time stays on one line; every column is as wide as its field's name and its
    // texts, and the last fills what is left of the width.
    grid->setWordWrap(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    gridBox->addWidget(grid);
    gridPanel->hide();
    rows->addWidget(gridPanel, 0, 0, 1, 2);

    managementPanel->hide();
    // Said where the panel would be, so the tab is never blank without a word.
    managementHintLabel = label("managementHint",
                                QStringLiteral("The management functions appear here after the "
                                               "Manager signs on with a password (set one with "
                                               "\"Change My Password\")."),
                                page);
    managementHintLabel->setWordWrap(true);
    managementHintLabel->setAlignment(Qt::AlignCenter);
    pageLayout->addWidget(managementHintLabel);
    return page;
}

QWidget *frmmain::buildAbout()
{
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    aboutFrame = frame("Frame5", QStringLiteral("About this Program:"), page);
    auto *about = new QGridLayout(aboutFrame);
    productTitleLabel = label("Label1", QStringLiteral("Horalink"), aboutFrame, Qt::AlignCenter);
    QFont title(QStringLiteral("Times New Roman"), 24, QFont::Bold);
    productTitleLabel->setFont(title);
    companyCaption = label("cmpname", QStringLiteral("Company Name:"), aboutFrame);
    companyLabel = label("company", QStringLiteral("company name"), aboutFrame);
    companyLabel->setWordWrap(true);
    versionLabel = label("version", QStringLiteral("Version ") + ProgramVersion, aboutFrame);
    locationLabel = label("location", QString(), aboutFrame);
    locationLabel->setWordWrap(true);
    about->addWidget(productTitleLabel, 0, 0, 1, 2);
    about->addWidget(companyCaption, 1, 0);
    about->addWidget(companyLabel, 1, 1);
    about->addWidget(versionLabel, 2, 1);
    about->addWidget(locationLabel, 3, 0, 1, 2);
    about->setColumnStretch(1, 1);
    about->setRowStretch(4, 1);
    pageLayout->addWidget(aboutFrame);
    return page;
}

void frmmain::buildMenu()
{
    menuBar = named(new QMenuBar(this), "menuBar");
    toolsMenu = named(menuBar->addMenu(QStringLiteral("&Tools")), "usermenu");
    clockInAction = action("Clkin", QStringLiteral("Clock &In"), this, Qt::Key_F1);
    clockOutAction = action("clkout", QStringLiteral("Clock &Out"), this, Qt::Key_F2);
    printLogAction =
        action("prntdata", QStringLiteral("&Print Log"), this, QKeySequence(Qt::CTRL | Qt::Key_P));
    clearLogAction =
        action("dltdata", QStringLiteral("&Clear Log"), this, QKeySequence(Qt::CTRL | Qt::Key_D));
    deleteLastAction = action("dltlast", QStringLiteral("&Delete Last"), this);
    changeMyPasswordAction = action("chpass", QStringLiteral("Change My Pass&word"), this);
    exitAction = action("exitmain", QStringLiteral("E&xit"), this);
    printLogAction->setEnabled(false);
    clearLogAction->setEnabled(false);
    for (QAction *entry : {clockInAction, clockOutAction, printLogAction, clearLogAction,
                           deleteLastAction, changeMyPasswordAction, exitAction}) {
        toolsMenu->addAction(entry);
        // Shortcuts work while the menu is closed.
        addAction(entry);
    }
}

void frmmain::connectHandlers()
{
    connect(clockTimer, &QTimer::timeout, this, &frmmain::clockTimerTimedOut);
    connect(&commands(), &Commands::finished, this, &frmmain::refreshGrid);
    grid->installEventFilter(this);
    connectGuarded(employeeList, &DataControl::currentChanged, this, &frmmain::employeeListMoved);
    connectGuarded(exitAction, &QAction::triggered, this, &frmmain::exitActionTriggered);

    connectGuarded(clockInButton, &QPushButton::clicked, this, &frmmain::clockInCommand);
    connectGuarded(clockInAction, &QAction::triggered, this, &frmmain::clockInCommand);
    connectGuarded(clockOutButton, &QPushButton::clicked, this, &frmmain::clockOutCommand);
    connectGuarded(clockOutAction, &QAction::triggered, this, &frmmain::clockOutCommand);

    connectGuarded(eventStampEdit, &QLineEdit::textChanged, this, &frmmain::eventStampEditChanged);
    connectGuarded(updateLabel, &ClickLabel::clicked, this, &frmmain::fxnupdate);
    connectGuarded(updateHintLabel, &ClickLabel::clicked, this, &frmmain::fxnupdate);
    connectGuarded(deleteLastAction, &QAction::triggered, this,
                   &frmmain::deleteLastActionTriggered);
    connectGuarded(gridToggleLabel, &ClickLabel::clicked, this, &frmmain::gridToggleLabelClicked);

    connectGuarded(hoursButton, &QPushButton::clicked, this, &frmmain::hoursButtonClicked);
    connectGuarded(printLogButton, &QPushButton::clicked, this, &frmmain::printLogButtonClicked);
    connectGuarded(printLogAction, &QAction::triggered, this, &frmmain::printLogActionTriggered);

    connectGuarded(configureButton, &QPushButton::clicked, this, &frmmain::configureButtonClicked);
    connectGuarded(clearLogButton, &QPushButton::clicked, this, &frmmain::clearLogButtonClicked);
    connectGuarded(clearLogAction, &QAction::triggered, this, &frmmain::clearLogActionTriggered);
    connectGuarded(addEmployeeButton, &QPushButton::clicked, this,
                   &frmmain::addEmployeeButtonClicked);
    connectGuarded(changePasswordButton, &QPushButton::clicked, this,
                   &frmmain::changePasswordButtonClicked);
    connectGuarded(changeMyPasswordAction, &QAction::triggered, this,
                   &frmmain::changeMyPasswordActionTriggered);
    connectGuarded(deleteEmployeeButton, &QPushButton::clicked, this,
                   &frmmain::deleteEmployeeButtonClicked);
    connectGuarded(payPeriodButton, &QPushButton::clicked, this, &frmmain::payPeriodButtonClicked);
}

void frmmain::loaded()
{
    centre();
    // A window loaded again after its close box shows the company too, so the About page and
    // printed cards never fall back to the design text.
    if (const auto company = companyHere())
        companyLabel->setText(*company);
    locationLabel->setText(locationHere());
    // A data control whose table is set in the design opens with its window; while the server
    // is away it opens at the Manager's sign-on, which needs the server.
    try {
        employeeList->refresh();
    } catch (const DbError &error) {
        if (!goesOnAway(error))
            throw;
    }
    forms().frmprop();
    applySwitches(switchesHere());
}

void frmmain::signOn(const Session &session)
{
    m_session = session;
    setAuthorHere(session.employee);
    // Whoever signs on starts on their own clock, not on the tab the last user left.
    tabs->setCurrentIndex(0);
    m_inputWatch->restart();
    userNameLabel->setText(session.employee);
    wageLabel->setText(session.wage);
    // Whatever the way of signing on, the switches as stored hold for this user.
    applySwitches(switchesHere());
    managementPanel->setVisible(session.manages());
    managementHintLabel->setVisible(!session.manages());
    // The Management tab's rows come from the Manager's own connection, opened at the
    // password step.
    if (session.manages() && managerSignsOnWithServer())
        employeeList->refresh();
    totalsHere();
}

void frmmain::applySwitches(const Switches &switches)
{
    m_switches = switches;
    eventStampEdit->setReadOnly(switches.edits);
    wagesFrame->setVisible(!switches.money);
    productPicture->setVisible(switches.money);
}

QString frmmain::shownEmployee() const
{
    return employeeNameEdit->text();
}

bool frmmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grid && event->type() == QEvent::Show)
        guarded([this] { refreshGrid(); });
    return Form::eventFilter(watched, event);
}

void frmmain::clockTimerTimedOut()
{
    const QDateTime now = clock().now();
    const QString time = longTimeText(now.time());
    if (timeLabel->text() != time)
        timeLabel->setText(time);
    const QString date = shortDateText(now.date());
    if (dateLabel->text() != date)
        dateLabel->setText(date);
    signOffWhenLeftAlone();
}

void frmmain::signOffWhenLeftAlone()
{
    if (!m_switches.signoff || !isVisible() || m_session.employee.isEmpty())
        return;
    // A box still waiting for an answer, or a long job, belongs to the handler that shows it;
    // the session ends once that is done and the window is still left alone.
    if (forms().handlerRunning())
        return;
    if (m_inputWatch->quietFor(LeftAloneSeconds))
        guarded([this] { exitActionTriggered(); });
}

void frmmain::leave()
{
    userLog->leaveRow();
    employeeList->leaveRow();
    if (forms().isLoaded<frmsub>())
        forms().frmsub().close();
    if (forms().isLoaded<frmadd>())
        forms().frmadd().close();
    if (forms().isLoaded<frmpass>())
        forms().frmpass().close();
    if (forms().isLoaded<frmperiod>())
        forms().frmperiod().close();
    if (forms().isLoaded<frmprop>())
        forms().frmprop().hide();
    managementPanel->hide();
    managementHintLabel->show();
    // The Manager's connection ends with the session; the cursors that read through it let
    // go of its statements first, having stored what was typed.
    if (m_session.manages() && managerSignsOnWithServer()) {
        employeeList->close();
        chosenLog->close();
        closeManagerDatabase();
    }
    m_session = {};
    setAuthorHere({});
}

void frmmain::exitActionTriggered()
{
    leave();
    hide();
    frmlogon &logon = forms().frmlogon();
    logon.show();
    logon.showPrompt(NamePrompt);
}

void frmmain::closeBoxClicked()
{
    leave();
    frmlogon &logon = forms().frmlogon();
    logon.show();
    logon.showPrompt(QStringLiteral("Click here for choice of Names---->"));
}

void frmmain::reportDroppedEdit(const BoundEditRefused &refusal)
{
    QString text = QStringLiteral("The change to ") + refusal.field() +
                   QStringLiteral(" was not stored: ") + refusal.description();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    prompts().warning(text, QStringLiteral("Edit Error"));
}

void frmmain::reportUpdateFailure(const DbError &error)
{
    if (error.number() == dberr::CancelledByBoundDisplay) {
        prompts().plain(InvalidDateTime);
        return;
    }
    prompts().plain(QStringLiteral("Error number: ") + QString::number(error.number()) +
                    QStringLiteral("  has occured:  ") + error.description() +
                    QStringLiteral(". Please try again."));
}

void frmmain::employeeListMoved()
{
    // Figures computed for one employee are never shown beside another's name.
    employeeHoursLabel->clear();
    employeeWagesLabel->clear();
}

} // namespace horalink
