#include "frmpass.h"

#include "db/database.h"
#include "db/employees.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/passwordbox.h"
#include "ui/program.h"
#include "ui/prompts.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace horalink {

namespace {

QGroupBox *passwordFrame(const char *name, QLineEdit *&box, const char *boxName, QWidget *parent)
{
    QGroupBox *frame = horalink::frame(name, QStringLiteral("Enter New Password:"), parent);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 2, 4, 4);
    box = passwordBox(boxName, frame);
    layout->addWidget(box);
    return frame;
}

} // namespace

frmpass::frmpass() : Form(FixedDialog)
{
    setObjectName(QStringLiteral("frmpass"));
    setWindowTitle(ProgramTitle);

    auto *layout = new QGridLayout(this);
    QGroupBox *ownFrame = passwordFrame("Frame1", ownPasswordEdit, "newpasswrd", this);
    layout->addWidget(ownFrame, 0, 0, 1, 2);
    ownOkButton = button("Command1", QStringLiteral("OK"), this);
    cancelButton = button("Command2", QStringLiteral("Cancel"), this);
    layout->addWidget(ownOkButton, 1, 0);
    layout->addWidget(cancelButton, 1, 1);

    buildEmployeePanel();
    setDefaultButton(ownOkButton);
    setCancelButton(cancelButton);

    setTabOrder(ownPasswordEdit, ownOkButton);
    setTabOrder(ownOkButton, cancelButton);
    setTabOrder(cancelButton, employeePasswordEdit);
    setTabOrder(employeePasswordEdit, employeeOkButton);
    setFixedClientSize(3600, 1700);
    connectControls();
}

// The manager's panel covers the own-password controls while it is shown.
void frmpass::buildEmployeePanel()
{
    employeePanel = new QWidget(this);
    employeePanel->setObjectName(QStringLiteral("Picture1"));
    employeePanel->setAutoFillBackground(true);
    auto *panel = new QGridLayout(employeePanel);
    QGroupBox *employeeFrame =
        passwordFrame("Frame2", employeePasswordEdit, "Text1", employeePanel);
    panel->addWidget(employeeFrame, 0, 0, 1, 2);
    employeeOkButton = button("Command3", QStringLiteral("OK"), employeePanel);
    panel->addWidget(employeeOkButton, 1, 0);
    employeePanel->hide();
    employeePanel->installEventFilter(this);
}

void frmpass::connectControls()
{
    connectGuarded(ownPasswordEdit, &QLineEdit::textChanged, this,
                   &frmpass::ownPasswordEditChanged);
    connectGuarded(employeePasswordEdit, &QLineEdit::textChanged, this,
                   &frmpass::employeePasswordEditChanged);
    connectGuarded(ownOkButton, &QPushButton::clicked, this, &frmpass::ownOkButtonClicked);
    connectGuarded(cancelButton, &QPushButton::clicked, this, &frmpass::cancelButtonClicked);
    connectGuarded(employeeOkButton, &QPushButton::clicked, this,
                   &frmpass::employeeOkButtonClicked);
}

void frmpass::loaded()
{
    centre();
}

void frmpass::changeOwn(const Session &session)
{
    m_own = session.employee;
}

void frmpass::changeFor(const QString &employee)
{
    setEmployee(employee);
    employeePanel->show();
    employeePanel->raise();
}

void frmpass::setEmployee(const QString &employee)
{
    m_employee = employee;
}

void frmpass::resizeEvent(QResizeEvent *event)
{
    Form::resizeEvent(event);
    employeePanel->setGeometry(rect());
}

bool frmpass::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == employeePanel && event->type() == QEvent::Paint)
        guarded([this] { employeePanelPainted(); });
    return Form::eventFilter(watched, event);
}

void frmpass::ownPasswordEditChanged()
{
    setDefaultButton(ownOkButton);
}

void frmpass::employeePasswordEditChanged()
{
    setDefaultButton(employeeOkButton);
}

void frmpass::employeePanelPainted()
{
    // Painting runs often; only a change of focus or default button is worth making, and
    // making it again would repaint the panel without end.
    if (!employeePasswordEdit->hasFocus())
        employeePasswordEdit->setFocus();
    if (defaultButton() != employeeOkButton)
        setDefaultButton(employeeOkButton);
}

void frmpass::cancelButtonClicked()
{
    close();
}

void frmpass::ownOkButtonClicked()
{
    changePassword(m_own, ownPasswordEdit->text());
}

void frmpass::employeeOkButtonClicked()
{
    changePassword(m_employee, employeePasswordEdit->text());
}

void frmpass::changePassword(const QString &name, const QString &password)
{
    if (storePassword(managingDatabase(), name, password))
        prompts().information(QStringLiteral("Password Successfully Changed."),
                              QStringLiteral("Successful!"));
    else
        prompts().warning(QStringLiteral("Sorry, their was a problem with the data file. Check "
                                         "with your system administrator."),
                          QStringLiteral("Change Pass Error"));
    close();
}

} // namespace horalink
