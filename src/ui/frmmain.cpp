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

} // namespace

// Every command of the window: the control's name, and for an entry of the Tools menu its
// caption and shortcut. The menu is made from the table; buttons and labels are made where
// they lie, and the table wires them all.
struct frmmain::Command
{
    const char *name;
    QString menuCaption;
    QKeySequence shortcut;
    void (frmmain::*handler)();
};

const QList<frmmain::Command> &frmmain::commandTable()
{
    static const QList<Command> table = {
        {"Clkin", QStringLiteral("Clock &In"), Qt::Key_F1, &frmmain::clockInCommand},
        {"clkout", QStringLiteral("Clock &Out"), Qt::Key_F2, &frmmain::clockOutCommand},
        {"prntdata", QStringLiteral("&Print Log"), QKeySequence(Qt::CTRL | Qt::Key_P),
         &frmmain::printLogActionTriggered},
        {"dltdata", QStringLiteral("&Clear Log"), QKeySequence(Qt::CTRL | Qt::Key_D),
         &frmmain::clearLogActionTriggered},
        {"dltlast", QStringLiteral("&Delete Last"), {}, &frmmain::deleteLastActionTriggered},
        {"chpass",
         QStringLiteral("Change My Pass&word"),
         {},
         &frmmain::changeMyPasswordActionTriggered},
        {"exitmain", QStringLiteral("E&xit"), {}, &frmmain::exitActionTriggered},
        {"clockin", {}, {}, &frmmain::clockInCommand},
        {"clockout", {}, {}, &frmmain::clockOutCommand},
        {"Label11", {}, {}, &frmmain::fxnupdate},
        {"Label12", {}, {}, &frmmain::fxnupdate},
        {"Label8", {}, {}, &frmmain::gridToggleLabelClicked},
        {"Command2", {}, {}, &frmmain::configureButtonClicked},
        {"Command1", {}, {}, &frmmain::hoursButtonClicked},
        {"Command3", {}, {}, &frmmain::printLogButtonClicked},
        {"Command4", {}, {}, &frmmain::clearLogButtonClicked},
        {"Command5", {}, {}, &frmmain::addEmployeeButtonClicked},
        {"ChgPass", {}, {}, &frmmain::changePasswordButtonClicked},
        {"Deleteemp", {}, {}, &frmmain::deleteEmployeeButtonClicked},
        {"PayPeriod", {}, {}, &frmmain::payPeriodButtonClicked},
    };
    return table;
}

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
    layout->addWidget(buildClockFrame());

    // Kept out of sight: the log of the employee chosen in the Management tab.
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

QWidget *frmmain::buildClockFrame()
{
    QGroupBox *clockFrame = frame("Frame1", QStringLiteral("Time and Date:"), this);
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
    return clockFrame;
}

QWidget *frmmain::buildTimeFunctions()
{
    auto *page = new QWidget;
    auto *rows = new QGridLayout(page);
    rows->setContentsMargins(4, 2, 4, 2);
    rows->setVerticalSpacing(2);
    buildClockButtons(rows, page);
    buildFigures(rows, page);
    rows->addLayout(buildUpdateRow(page), 3, 0, 1, 2);
    rows->addWidget(buildEventFrame(page), 4, 0, 1, 2);
    keptLabel = label("keptnote", {}, page);
    keptLabel->setWordWrap(true);
    keptLabel->hide();
    rows->addWidget(keptLabel, 5, 0, 1, 2);
    rows->setColumnStretch(0, 1);
    rows->setColumnStretch(1, 1);
    return page;
}

// Rows 0 and 1 of the page: whose clock it is, and its buttons.
void frmmain::buildClockButtons(QGridLayout *rows, QWidget *page)
{
    userNameLabel = label("nameemp", QStringLiteral("Manager"), page, Qt::AlignCenter);
    userNameLabel->setToolTip(QStringLiteral("This displays the current users name"));
    QFont bold = userNameLabel->font();
    bold.setBold(true);
    userNameLabel->setFont(bold);
    rows->addWidget(userNameLabel, 0, 0, 1, 2);
    rows->addWidget(button("clockin", QStringLiteral("ClockIn (F1)"), page,
                           QStringLiteral("Click here to Clock In")),
                    1, 0);
    rows->addWidget(button("clockout", QStringLiteral("ClockOut (F2)"), page,
                           QStringLiteral("Click here to Clock Out")),
                    1, 1);
}

// Row 2 of the page: the hours, and the wages or the picture shown in their place.
void frmmain::buildFigures(QGridLayout *row, QWidget *page)
{
    QGroupBox *hoursFrame = frame("Frame7", QStringLiteral("Tot. Hours"), page);
    auto *hoursBox = new QHBoxLayout(hoursFrame);
    hoursBox->setContentsMargins(4, 0, 4, 2);
    hoursLabel = label("currhours", QStringLiteral("0"), hoursFrame, Qt::AlignCenter);
    hoursLabel->setToolTip(QStringLiteral("Total number of hours"));
    hoursBox->addWidget(hoursLabel);
    row->addWidget(hoursFrame, 2, 0);

    wagesFrame = frame("frmmoney", QStringLiteral("Est. Wages"), page);
    auto *moneyBox = new QHBoxLayout(wagesFrame);
    moneyBox->setContentsMargins(4, 0, 4, 2);
    wagesLabel = label("currmoney", QStringLiteral("0.00"), wagesFrame);
    moneyBox->addWidget(label("Label4", QStringLiteral("$"), wagesFrame));
    moneyBox->addWidget(wagesLabel, 1);
    row->addWidget(wagesFrame, 2, 1);

    // Lies exactly where the wages frame lies, shown in its place while wages are hidden.
    productPicture = named(new QFrame(page), "Picture2");
    auto *pictureBox = new QHBoxLayout(productPicture);
    pictureBox->setContentsMargins(0, 0, 0, 0);
    QLabel *productNameLabel = label("Label13", {}, productPicture, Qt::AlignCenter);
    productNameLabel->setPixmap(productNamePicture());
    pictureBox->addWidget(productNameLabel);
    productPicture->hide();
    row->addWidget(productPicture, 2, 1);
}

QLayout *frmmain::buildUpdateRow(QWidget *page)
{
    auto *updateRow = new QHBoxLayout;
    auto *updateHintLabel = named(new ClickLabel(QStringLiteral("click here to"), page), "Label12");
    updateHintLabel->setToolTip(QStringLiteral("Click here to update the total hours"));
    auto *updateLabel = named(new ClickLabel(QStringLiteral("UPDATE"), page), "Label11");
    updateLabel->setToolTip(QStringLiteral("Update the total hours"));
    QFont bold = updateLabel->font();
    bold.setBold(true);
    updateLabel->setFont(bold);
    updateRow->setSpacing(4);
    updateRow->addStretch();
    updateRow->addWidget(updateHintLabel);
    updateRow->addWidget(updateLabel);
    return updateRow;
}

QWidget *frmmain::buildEventFrame(QWidget *page)
{
    QGroupBox *eventFrame = frame("Frame2", QStringLiteral("Horalink Data:"), page);
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
    return eventFrame;
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
    rows->addWidget(buildFunctions(managementPanel), 0, 0);
    rows->addWidget(buildEmployeeFrame(managementPanel), 0, 1);
    rows->setRowStretch(0, 1);
    rows->setColumnStretch(1, 1);

    auto *gridToggleLabel =
        named(new ClickLabel(QStringLiteral("Toggle Employee Grid"), managementPanel), "Label8");
    gridToggleLabel->setToolTip(
        QStringLiteral("Click here to view an Employee's data in a Data Grid."));
    gridToggleLabel->setAlignment(Qt::AlignCenter);
    rows->addWidget(gridToggleLabel, 1, 0, 1, 2);
    // Laid over the functions and the employee browser while the grid is shown.
    rows->addWidget(buildGridPanel(managementPanel), 0, 0, 1, 2);
    managementPanel->hide();
    pageLayout->addWidget(buildManagementHint(page));
    return page;
}

QWidget *frmmain::buildFunctions(QWidget *panel)
{
    QGroupBox *functionsFrame = frame("Frame4", QStringLiteral("Functions:"), panel);
    auto *functions = new QVBoxLayout(functionsFrame);
    functions->setContentsMargins(3, 0, 3, 2);
    functions->setSpacing(1);
    const auto add = [&](const char *name, const QString &caption, const QString &toolTip) {
        functions->addWidget(button(name, caption, functionsFrame, toolTip));
    };
    add("Command2", QStringLiteral("Configure"), QStringLiteral("Change Horalink's properties"));
    add("Command1", QStringLiteral("Get Hrs/$"),
        QStringLiteral("Get the Employee's total number of hours and pay."));
    add("Command3", QStringLiteral("Print Log"), QStringLiteral("Print an Employee's Time Card"));
    add("Command4", QStringLiteral("Clear Log"), QStringLiteral("Clear an Employee's logs"));
    add("Command5", QStringLiteral("Add New"), QStringLiteral("Add a new Employee"));
    add("ChgPass", QStringLiteral("Chg Pass"), QStringLiteral("Change an Employee's password"));
    add("Deleteemp", QStringLiteral("Delete"), QStringLiteral("Delete an Employee"));
    // Pay day comes last, below the functions it does not move.
    add("PayPeriod", QStringLiteral("Pay Period…"),
        QStringLiteral("Export, check or back up a pay period"));
    return functionsFrame;
}

QWidget *frmmain::buildEmployeeFrame(QWidget *panel)
{
    QGroupBox *employeeFrame = frame("Frame3", QStringLiteral("Select an Employee:"), panel);
    auto *employee = new QGridLayout(employeeFrame);
    employee->setContentsMargins(3, 0, 3, 2);
    employee->setVerticalSpacing(1);
    buildEmployeeList(employeeFrame);
    QLabel *wageCaption = label("Label6", QStringLiteral("$/hr:"), employeeFrame);
    QLabel *notesCaption = label("Label7", QStringLiteral("Notes:"), employeeFrame);
    wageCaption->setBuddy(wageEdit);
    notesCaption->setBuddy(employeeFrame->findChild<QTextEdit *>(QStringLiteral("Text1")));
    employeeHoursLabel = label("manehours", QStringLiteral("0.00"), employeeFrame);
    employeeWagesLabel = label("manemoney", QStringLiteral("0.00"), employeeFrame);
    employee->addWidget(employeeList, 0, 0, 1, 4);
    employee->addWidget(employeeNameEdit, 1, 0, 1, 4);
    employee->addWidget(wageCaption, 2, 0);
    employee->addWidget(wageEdit, 2, 1, 1, 3);
    employee->addWidget(notesCaption, 3, 0, Qt::AlignTop);
    employee->addWidget(notesCaption->buddy(), 3, 1, 1, 3);
    employee->addWidget(label("Label9", QStringLiteral("Hours:"), employeeFrame), 4, 0);
    employee->addWidget(employeeHoursLabel, 4, 1);
    employee->addWidget(label("Label10", QStringLiteral("$"), employeeFrame), 4, 2);
    employee->addWidget(employeeWagesLabel, 4, 3);
    employee->setRowStretch(3, 1);
    return employeeFrame;
}

// The employee list's browser and the boxes bound to it.
void frmmain::buildEmployeeList(QWidget *frame)
{
    employeeList = new DataControl(QStringLiteral("mandata"), frame);
    employeeList->setManaging(true);
    employeeList->setCaption(QStringLiteral("Browser"));
    employeeList->setRecordSource(QStringLiteral("datalist"));
    employeeNameEdit = named(new QLineEdit(frame), "manlist");
    employeeNameEdit->setAlignment(Qt::AlignCenter);
    employeeNameEdit->setReadOnly(true);
    wageEdit = named(new QLineEdit(frame), "emoney");
    auto *notesEdit = named(new QTextEdit(frame), "Text1");
    notesEdit->setAcceptRichText(false);
    // A tab typed here would be stored in the note; Tab moves on, as everywhere else.
    notesEdit->setTabChangesFocus(true);
    notesEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
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
}

QWidget *frmmain::buildGridPanel(QWidget *panel)
{
    gridPanel = named(new QFrame(panel), "Picture3");
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
    return gridPanel;
}

QWidget *frmmain::buildManagementHint(QWidget *page)
{
    // Said where the panel would be, so the tab is never blank without a word.
    managementHintLabel = label("managementHint",
                                QStringLiteral("The management functions appear here after the "
                                               "Manager signs on with a password (set one with "
                                               "\"Change My Password\")."),
                                page);
    managementHintLabel->setWordWrap(true);
    managementHintLabel->setAlignment(Qt::AlignCenter);
    return managementHintLabel;
}

QWidget *frmmain::buildAbout()
{
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    QGroupBox *aboutFrame = frame("Frame5", QStringLiteral("About this Program:"), page);
    auto *about = new QGridLayout(aboutFrame);
    QLabel *productTitleLabel =
        label("Label1", QStringLiteral("Horalink"), aboutFrame, Qt::AlignCenter);
    productTitleLabel->setFont(QFont(QStringLiteral("Times New Roman"), 24, QFont::Bold));
    companyLabel = label("company", QStringLiteral("company name"), aboutFrame);
    companyLabel->setWordWrap(true);
    locationLabel = label("location", QString(), aboutFrame);
    locationLabel->setWordWrap(true);
    about->addWidget(productTitleLabel, 0, 0, 1, 2);
    about->addWidget(label("cmpname", QStringLiteral("Company Name:"), aboutFrame), 1, 0);
    about->addWidget(companyLabel, 1, 1);
    about->addWidget(label("version", QStringLiteral("Version ") + ProgramVersion, aboutFrame), 2,
                     1);
    about->addWidget(locationLabel, 3, 0, 1, 2);
    about->setColumnStretch(1, 1);
    about->setRowStretch(4, 1);
    pageLayout->addWidget(aboutFrame);
    return page;
}

void frmmain::buildMenu()
{
    menuBar = named(new QMenuBar(this), "menuBar");
    QMenu *toolsMenu = named(menuBar->addMenu(QStringLiteral("&Tools")), "usermenu");
    for (const Command &command : commandTable()) {
        if (command.menuCaption.isEmpty())
            continue;
        auto *entry = named(new QAction(command.menuCaption, this), command.name);
        entry->setShortcut(command.shortcut);
        entry->setShortcutContext(Qt::WindowShortcut);
        toolsMenu->addAction(entry);
        // Shortcuts work while the menu is closed.
        addAction(entry);
    }
    printLogAction = findChild<QAction *>(QStringLiteral("prntdata"));
    clearLogAction = findChild<QAction *>(QStringLiteral("dltdata"));
    printLogAction->setEnabled(false);
    clearLogAction->setEnabled(false);
}

void frmmain::connectHandlers()
{
    connect(clockTimer, &QTimer::timeout, this, &frmmain::clockTimerTimedOut);
    connect(&commands(), &Commands::finished, this, &frmmain::refreshGrid);
    grid->installEventFilter(this);
    connectGuarded(employeeList, &DataControl::currentChanged, this, &frmmain::employeeListMoved);
    connectGuarded(eventStampEdit, &QLineEdit::textChanged, this, &frmmain::eventStampEditChanged);
    for (const Command &command : commandTable())
        wire(findChild<QObject *>(QLatin1String(command.name)), command.handler);
}

// A menu entry runs its command when triggered; a button or a label when clicked.
void frmmain::wire(QObject *control, void (frmmain::*handler)())
{
    Q_ASSERT(control);
    if (auto *entry = qobject_cast<QAction *>(control))
        connectGuarded(entry, &QAction::triggered, this, handler);
    else if (auto *button = qobject_cast<QPushButton *>(control))
        connectGuarded(button, &QPushButton::clicked, this, handler);
    else
        connectGuarded(qobject_cast<ClickLabel *>(control), &ClickLabel::clicked, this, handler);
}

void frmmain::loaded()
{
    centre();
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
    showSettings(settingsHere());
}

void frmmain::signOn(const Session &session, const Settings &settings)
{
    m_session = session;
    setAuthorHere(session.employee);
    // Whoever signs on starts on their own clock, not on the tab the last user left.
    tabs->setCurrentIndex(0);
    m_inputWatch->restart();
    userNameLabel->setText(session.employee);
    showSettings(settings);
    managementPanel->setVisible(session.manages());
    managementHintLabel->setVisible(!session.manages());
    // The Management tab's rows come from the Manager's own connection, opened at the
    // password step.
    if (session.manages() && managerSignsOnWithServer())
        employeeList->refresh();
    totalsHere();
}

void frmmain::showSettings(const Settings &settings)
{
    m_settings = settings;
    companyLabel->setText(companyName());
    applySwitches(settings.switches);
}

void frmmain::switchStored(Switch which, bool on)
{
    Switches switches = m_settings.switches;
    switches.set(which, on);
    applySwitches(switches);
}

void frmmain::applySwitches(const Switches &switches)
{
    m_settings.switches = switches;
    // The properties window, hidden or shown, shows the switches in force.
    if (forms().isLoaded<frmprop>())
        forms().frmprop().showSwitches(switches);
    eventStampEdit->setReadOnly(switches.edits);
    wagesFrame->setVisible(!switches.money);
    productPicture->setVisible(switches.money);
}

QString frmmain::companyName() const
{
    return m_settings.company.value_or(QStringLiteral("company name"));
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
    if (!m_settings.switches.signoff || !isVisible() || m_session.employee.isEmpty())
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
    // A password typed in the employee panel is for the employee shown when it is stored.
    if (forms().isLoaded<frmpass>())
        forms().frmpass().setEmployee(shownEmployee());
}

} // namespace horalink
