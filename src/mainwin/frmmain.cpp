#include "frmmain.h"

#include "admin/frmadd.h"
#include "admin/frmpass.h"
#include "admin/frmprop.h"
#include "app/clock.h"
#include "app/forms.h"
#include "app/frmlogon.h"
#include "app/pictures.h"
#include "app/program.h"
#include "app/prompts.h"
#include "clock/frmsub.h"
#include "db/database.h"
#include "db/datacontrol.h"
#include "db/datetimetext.h"
#include "mainwin/clicklabel.h"

#include <QAction>
#include <QComboBox>
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

template <class T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *label(const char *name, const QString &caption, QWidget *parent,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *label = named(new QLabel(caption, parent), name);
    label->setAlignment(alignment);
    return label;
}

QPushButton *button(const char *name, const QString &caption, const QString &tip, QWidget *parent)
{
    auto *button = named(new QPushButton(caption, parent), name);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
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

frmmain::frmmain() : Form(FixedWindow)
{
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(ProgramTitle);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips(135), 0, twips(135), twips(60));
    layout->setSpacing(twips(45));
    buildMenu();
    layout->setMenuBar(menuBar);

    SSTab1 = named(new QTabWidget(this), "SSTab1");
    SSTab1->setFixedSize(twips(4695), twips(3495));
    SSTab1->addTab(buildTimeFunctions(), QStringLiteral("Time Functions"));
    SSTab1->addTab(buildManagement(), QStringLiteral("Management"));
    SSTab1->addTab(buildAbout(), QStringLiteral("About"));
    layout->addWidget(SSTab1);

    Frame1 = named(new QGroupBox(QStringLiteral("Time and Date:"), this), "Frame1");
    auto *clockRow = new QHBoxLayout(Frame1);
    clockRow->setContentsMargins(4, 0, 4, 2);
    lbldate = label("lbldate", QStringLiteral("Date"), Frame1, Qt::AlignCenter);
    lbldate->setToolTip(QStringLiteral("Current Date"));
    lbltime = label("lbltime", QStringLiteral("Time"), Frame1, Qt::AlignCenter);
    lbltime->setToolTip(QStringLiteral("Current Time"));
    for (QLabel *clockLabel : {lbldate, lbltime}) {
        QFont big = clockLabel->font();
        big.setPointSize(12);
        clockLabel->setFont(big);
        clockRow->addWidget(clockLabel);
    }
    layout->addWidget(Frame1);

    // Kept out of sight: the wage text of the signed-on user and the chosen employee's log.
    Thismoney = label("Thismoney", QStringLiteral("this money"), this);
    Thismoney->hide();
    manuse = new DataControl(QStringLiteral("manuse"), this);
    manuse->hide();

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(250);

    setFixedSize(twips(4965), twips(4440) + menuBar->sizeHint().height());
    connectHandlers();
    Timer1->start();
}

QWidget *frmmain::buildTimeFunctions()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(2);

    nameemp = label("nameemp", QStringLiteral("Manager"), page, Qt::AlignCenter);
    nameemp->setToolTip(QStringLiteral("This displays the current users name"));
    QFont bold = nameemp->font();
    bold.setBold(true);
    nameemp->setFont(bold);
    grid->addWidget(nameemp, 0, 0, 1, 2);

    clockin = button("clockin", QStringLiteral("ClockIn (F1)"),
                     QStringLiteral("Click here to Clock In"), page);
    clockout = button("clockout", QStringLiteral("ClockOut (F2)"),
                      QStringLiteral("Click here to Clock Out"), page);
    grid->addWidget(clockin, 1, 0);
    grid->addWidget(clockout, 1, 1);

    Frame7 = named(new QGroupBox(QStringLiteral("Tot. Hours"), page), "Frame7");
    auto *hoursBox = new QHBoxLayout(Frame7);
    hoursBox->setContentsMargins(4, 0, 4, 2);
    currhours = label("currhours", QStringLiteral("0"), Frame7, Qt::AlignCenter);
    currhours->setToolTip(QStringLiteral("Total number of hours"));
    hoursBox->addWidget(currhours);
    grid->addWidget(Frame7, 2, 0);

    frmmoney = named(new QGroupBox(QStringLiteral("Est. Wages"), page), "frmmoney");
    auto *moneyBox = new QHBoxLayout(frmmoney);
    moneyBox->setContentsMargins(4, 0, 4, 2);
    Label4 = label("Label4", QStringLiteral("$"), frmmoney);
    currmoney = label("currmoney", QStringLiteral("0.00"), frmmoney);
    moneyBox->addWidget(Label4);
    moneyBox->addWidget(currmoney, 1);
    grid->addWidget(frmmoney, 2, 1);

    // Lies exactly where the wages frame lies, shown in its place while wages are hidden.
    Picture2 = named(new QFrame(page), "Picture2");
    auto *pictureBox = new QHBoxLayout(Picture2);
    pictureBox->setContentsMargins(0, 0, 0, 0);
    Label13 = label("Label13", {}, Picture2, Qt::AlignCenter);
    Label13->setPixmap(productNamePicture());
    pictureBox->addWidget(Label13);
    Picture2->hide();
    grid->addWidget(Picture2, 2, 1);

    auto *updateRow = new QHBoxLayout;
    Label12 = named(new ClickLabel(QStringLiteral("click here to"), page), "Label12");
    Label12->setToolTip(QStringLiteral("Click here to update the total hours"));
    Label11 = named(new ClickLabel(QStringLiteral("UPDATE"), page), "Label11");
    Label11->setToolTip(QStringLiteral("Update the total hours"));
    Label11->setFont(bold);
    for (ClickLabel *clickable : {Label12, Label11})
        clickable->setCursor(Qt::PointingHandCursor);
    updateRow->setSpacing(4);
    updateRow->addStretch();
    updateRow->addWidget(Label12);
    updateRow->addWidget(Label11);
    grid->addLayout(updateRow, 3, 0, 1, 2);

    Frame2 = named(new QGroupBox(QStringLiteral("Horalink Data:"), page), "Frame2");
    auto *record = new QGridLayout(Frame2);
    record->setContentsMargins(4, 0, 4, 2);
    record->setVerticalSpacing(1);
    lgndatetime = named(new QLineEdit(Frame2), "lgndatetime");
    lgndatetime->setAlignment(Qt::AlignCenter);
    lgndatetime->setToolTip(QStringLiteral("Current records time and data"));
    Label5 = label("Label5", {}, Frame2);
    Lastlogonvalue = label("Lastlogonvalue", QStringLiteral("LastLogon"), Frame2,
                           Qt::AlignRight | Qt::AlignVCenter);
    Lastlogonvalue->setToolTip(QStringLiteral("Status of the current record. "));
    database = new DataControl(QStringLiteral("database"), Frame2);
    database->setCaption(QStringLiteral(" Browser"));
    database->setToolTip(
        QStringLiteral("Click on there \"browser\" buttons to move between records."));
    database->bind(lgndatetime, QStringLiteral("datetime"));
    database->bind(Label5, QStringLiteral("activity"));
    database->bind(Lastlogonvalue, QStringLiteral("inoutfx"));
    // Leaving an event by the navigator while its typed date cannot be stored is refused as
    // UPDATE refuses it; any other way of leaving it drops the typed text and says so.
    database->setRefusalHandler([this](const BoundEditRefused &refusal, DataControl::Refusal kind) {
        if (kind == DataControl::Refusal::StaysOnRow)
            reportUpdateFailure(refusal);
        else
            reportDroppedEdit(refusal);
    });
    record->addWidget(lgndatetime, 0, 0, 1, 2);
    record->addWidget(Label5, 1, 0);
    record->addWidget(Lastlogonvalue, 1, 1);
    record->addWidget(database, 2, 0, 1, 2);
    grid->addWidget(Frame2, 4, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget *frmmain::buildManagement()
{
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    Picture1 = named(new QWidget(page), "Picture1");
    pageLayout->addWidget(Picture1);
    auto *grid = new QGridLayout(Picture1);
    grid->setContentsMargins(3, 2, 3, 2);
    grid->setSpacing(2);

    Frame4 = named(new QGroupBox(QStringLiteral("Functions:"), Picture1), "Frame4");
    auto *functions = new QVBoxLayout(Frame4);
    functions->setContentsMargins(3, 0, 3, 2);
    functions->setSpacing(1);
    Command2 = button("Command2", QStringLiteral("Configure"),
                      QStringLiteral("Change Horalink's properties"), Frame4);
    Command1 = button("Command1", QStringLiteral("Get Hrs/$"),
                      QStringLiteral("Get the Employee's total number of hours and pay."), Frame4);
    Command3 = button("Command3", QStringLiteral("Print Log"),
                      QStringLiteral("Print an Employee's Time Card"), Frame4);
    Command4 = button("Command4", QStringLiteral("Clear Log"),
                      QStringLiteral("Clear an Employee's logs"), Frame4);
    Command5 =
        button("Command5", QStringLiteral("Add New"), QStringLiteral("Add a new Employee"), Frame4);
    ChgPass = button("ChgPass", QStringLiteral("Chg Pass"),
                     QStringLiteral("Change an Employee's password"), Frame4);
    Deleteemp =
        button("Deleteemp", QStringLiteral("Delete"), QStringLiteral("Delete an Employee"), Frame4);
    for (QPushButton *function :
         {Command2, Command1, Command3, Command4, Command5, ChgPass, Deleteemp})
        functions->addWidget(function);
    grid->addWidget(Frame4, 0, 0);

    Frame3 = named(new QGroupBox(QStringLiteral("Select an Employee:"), Picture1), "Frame3");
    auto *employee = new QGridLayout(Frame3);
    employee->setContentsMargins(3, 0, 3, 2);
    employee->setVerticalSpacing(1);
    mandata = new DataControl(QStringLiteral("mandata"), Frame3);
    mandata->setCaption(QStringLiteral("Browser"));
    mandata->setRecordSource(QStringLiteral("datalist"));
    manlist = named(new QLineEdit(Frame3), "manlist");
    manlist->setAlignment(Qt::AlignCenter);
    manlist->setReadOnly(true);
    Label6 = label("Label6", QStringLiteral("$/hr:"), Frame3);
    emoney = named(new QLineEdit(Frame3), "emoney");
    Label7 = label("Label7", QStringLiteral("Notes:"), Frame3);
    Text1 = named(new QTextEdit(Frame3), "Text1");
    Text1->setAcceptRichText(false);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Label9 = label("Label9", QStringLiteral("Hours:"), Frame3);
    manehours = label("manehours", QStringLiteral("0.00"), Frame3);
    Label10 = label("Label10", QStringLiteral("$"), Frame3);
    manemoney = label("manemoney", QStringLiteral("0.00"), Frame3);
    mandata->bind(manlist, QStringLiteral("Ename"));
    mandata->bind(emoney, QStringLiteral("Ewage"));
    mandata->bind(Text1, QStringLiteral("Ecomment"));
    // A wage or note the row will not take keeps the browser on the employee, and says why.
    mandata->setRefusalHandler([this](const BoundEditRefused &refusal, DataControl::Refusal kind) {
        if (kind == DataControl::Refusal::StaysOnRow)
            prompts().warning(refusal.description(), ProgramTitle);
        else
            reportDroppedEdit(refusal);
    });
    employee->addWidget(mandata, 0, 0, 1, 4);
    employee->addWidget(manlist, 1, 0, 1, 4);
    employee->addWidget(Label6, 2, 0);
    employee->addWidget(emoney, 2, 1, 1, 3);
    employee->addWidget(Label7, 3, 0, Qt::AlignTop);
    employee->addWidget(Text1, 3, 1, 1, 3);
    employee->addWidget(Label9, 4, 0);
    employee->addWidget(manehours, 4, 1);
    employee->addWidget(Label10, 4, 2);
    employee->addWidget(manemoney, 4, 3);
    grid->addWidget(Frame3, 0, 1);

    Label8 = named(new ClickLabel(QStringLiteral("Toggle Employee Grid"), Picture1), "Label8");
    Label8->setToolTip(QStringLiteral("Click here to view an Employee's data in a Data Grid."));
    Label8->setCursor(Qt::PointingHandCursor);
    Label8->setAlignment(Qt::AlignCenter);
    grid->addWidget(Label8, 1, 0, 1, 2);

    // Laid over the functions and the employee browser while the grid is shown.
    Picture3 = named(new QFrame(Picture1), "Picture3");
    Picture3->setAutoFillBackground(true);
    auto *gridBox = new QVBoxLayout(Picture3);
    gridBox->setContentsMargins(0, 0, 0, 0);
    DBGrid1 = named(new QTableView(Picture3), "DBGrid1");
    DBGrid1->horizontalHeader()->hide();
    DBGrid1->verticalHeader()->hide();
    gridBox->addWidget(DBGrid1);
    Picture3->hide();
    grid->addWidget(Picture3, 0, 0, 1, 2);

    Picture1->hide();
    return page;
}

QWidget *frmmain::buildAbout()
{
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    Frame5 = named(new QGroupBox(QStringLiteral("About this Program:"), page), "Frame5");
    auto *about = new QGridLayout(Frame5);
    Label1 = label("Label1", QStringLiteral("Horalink"), Frame5, Qt::AlignCenter);
    QFont title(QStringLiteral("Times New Roman"), 24, QFont::Bold);
    Label1->setFont(title);
    cmpname = label("cmpname", QStringLiteral("Company Name:"), Frame5);
    company = label("company", QStringLiteral("company name"), Frame5);
    company->setWordWrap(true);
    about->addWidget(Label1, 0, 0, 1, 2);
    about->addWidget(cmpname, 1, 0);
    about->addWidget(company, 1, 1);
    about->setColumnStretch(1, 1);
    about->setRowStretch(2, 1);
    pageLayout->addWidget(Frame5);
    return page;
}

void frmmain::buildMenu()
{
    menuBar = named(new QMenuBar(this), "menuBar");
    usermenu = named(menuBar->addMenu(QStringLiteral("&Tools")), "usermenu");
    Clkin = action("Clkin", QStringLiteral("Clock &In"), this, Qt::Key_F1);
    clkout = action("clkout", QStringLiteral("Clock &Out"), this, Qt::Key_F2);
    prntdata =
        action("prntdata", QStringLiteral("&Print Log"), this, QKeySequence(Qt::CTRL | Qt::Key_P));
    dltdata =
        action("dltdata", QStringLiteral("&Clear Log"), this, QKeySequence(Qt::CTRL | Qt::Key_D));
    dltlast = action("dltlast", QStringLiteral("&Delete Last"), this);
    chpass = action("chpass", QStringLiteral("Change My Pass&word"), this);
    exitmain = action("exitmain", QStringLiteral("E&xit"), this);
    prntdata->setEnabled(false);
    dltdata->setEnabled(false);
    for (QAction *entry : {Clkin, clkout, prntdata, dltdata, dltlast, chpass, exitmain}) {
        usermenu->addAction(entry);
        // Shortcuts work while the menu is closed.
        addAction(entry);
    }
}

void frmmain::connectHandlers()
{
    connect(Timer1, &QTimer::timeout, this, &frmmain::Timer1_Timer);
    connectGuarded(mandata, &DataControl::currentChanged, this, &frmmain::mandata_Reposition);
    connect(&commands(), &Commands::finished, this, &frmmain::refreshGrid);
    DBGrid1->installEventFilter(this);
    connectGuarded(exitmain, &QAction::triggered, this, &frmmain::exitmain_Click);

    connectGuarded(clockin, &QPushButton::clicked, this, &frmmain::clockin_Click);
    connectGuarded(Clkin, &QAction::triggered, this, &frmmain::Clkin_Click);
    connectGuarded(clockout, &QPushButton::clicked, this, &frmmain::clockout_Click);
    connectGuarded(clkout, &QAction::triggered, this, &frmmain::clkout_Click);

    connectGuarded(lgndatetime, &QLineEdit::textChanged, this, &frmmain::lgndatetime_Change);
    connectGuarded(Label11, &ClickLabel::clicked, this, &frmmain::Label11_Click);
    connectGuarded(Label12, &ClickLabel::clicked, this, &frmmain::Label12_Click);
    connectGuarded(dltlast, &QAction::triggered, this, &frmmain::dltlast_Click);
    connectGuarded(Label8, &ClickLabel::clicked, this, &frmmain::Label8_Click);

    connectGuarded(Command1, &QPushButton::clicked, this, &frmmain::Command1_Click);
    connectGuarded(Command3, &QPushButton::clicked, this, &frmmain::Command3_Click);
    connectGuarded(prntdata, &QAction::triggered, this, &frmmain::prntdata_Click);

    connectGuarded(Command2, &QPushButton::clicked, this, &frmmain::Command2_Click);
    connectGuarded(Command4, &QPushButton::clicked, this, &frmmain::Command4_Click);
    connectGuarded(dltdata, &QAction::triggered, this, &frmmain::dltdata_Click);
    connectGuarded(Command5, &QPushButton::clicked, this, &frmmain::Command5_Click);
    connectGuarded(ChgPass, &QPushButton::clicked, this, &frmmain::ChgPass_Click);
    connectGuarded(chpass, &QAction::triggered, this, &frmmain::chpass_Click);
    connectGuarded(Deleteemp, &QPushButton::clicked, this, &frmmain::Deleteemp_Click);
}

void frmmain::Form_Load()
{
    centre();
    // The company name is read once at start; a window loaded again after its close box
    // shows it too, so the About page and printed cards never fall back to the design text.
    if (forms().isLoaded<frmlogon>() && forms().frmlogon().cmpdata->hasCurrentRow())
        company->setText(forms().frmlogon().cmpdata->field(QStringLiteral("company")).toString());
    // A data control whose table is set in the design opens with its window.
    mandata->refresh();
    forms().frmprop();
    applySwitches(readSwitches(openDatabase(EmployeeMdb)));
}

void frmmain::signOn(const Session &session)
{
    m_session = session;
    nameemp->setText(session.employee);
    Thismoney->setText(session.wage);
    // Whatever the way of signing on, the switches as stored hold for this user.
    applySwitches(readSwitches(openDatabase(EmployeeMdb)));
    database->setDatabaseName(EmployeeMdb);
    database->setRecordSource(session.employee);
    database->refresh();
    Picture1->setVisible(session.manages());
    fxngettotal(session.employee);
}

bool frmmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGrid1 && event->type() == QEvent::Show)
        guarded([this] { refreshGrid(); });
    return Form::eventFilter(watched, event);
}

void frmmain::Timer1_Timer()
{
    const QDateTime now = clock().now();
    const QString time = longTimeText(now.time());
    if (lbltime->text() != time)
        lbltime->setText(time);
    const QString date = shortDateText(now.date());
    if (lbldate->text() != date)
        lbldate->setText(date);
}

void frmmain::applySwitches(const Switches &switches)
{
    m_switches = switches;
    lgndatetime->setReadOnly(switches.edits);
    frmmoney->setVisible(!switches.money);
    Picture2->setVisible(switches.money);
}

void frmmain::leave()
{
    database->leaveRow();
    mandata->leaveRow();
    if (forms().isLoaded<frmsub>())
        forms().frmsub().close();
    if (forms().isLoaded<frmadd>())
        forms().frmadd().close();
    if (forms().isLoaded<frmpass>())
        forms().frmpass().close();
    if (forms().isLoaded<frmprop>())
        forms().frmprop().hide();
    m_session = {};
}

void frmmain::reportDroppedEdit(const BoundEditRefused &refusal)
{
    prompts().warning(QStringLiteral("The change to ") + refusal.field() +
                          QStringLiteral(" was not stored: ") + refusal.description() +
                          QLatin1Char('.'),
                      QStringLiteral("Edit Error"));
}

void frmmain::mandata_Reposition()
{
    // Figures computed for one employee are never shown beside another's name.
    manehours->clear();
    manemoney->clear();
}

void frmmain::exitmain_Click()
{
    leave();
    hide();
    frmlogon &logon = forms().frmlogon();
    logon.show();
    logon.namechoice->setEditText(QStringLiteral("Click here for names-->"));
    Picture1->hide();
}

void frmmain::Form_Unload()
{
    leave();
    frmlogon &logon = forms().frmlogon();
    logon.show();
    logon.namechoice->setEditText(QStringLiteral("Click here for choice of Names---->"));
    Picture1->hide();
}

} // namespace horalink
