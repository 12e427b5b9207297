#include "frmadd.h"

#include "admin/newemployee.h"
#include "db/database.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/frmmain.h"
#include "ui/passwordbox.h"
#include "ui/program.h"
#include "ui/prompts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace horalink {

namespace {

const QString AddError = QStringLiteral("Add Error");

} // namespace

frmadd::frmadd() : Form(FixedDialog)
{
    setObjectName(QStringLiteral("frmadd"));
    setWindowTitle(ProgramTitle);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildEmployeeFrame(), 1);
    layout->addLayout(buildButtons());
    setDefaultButton(okButton);
    setCancelButton(cancelButton);

    setTabOrder(nameEdit, passwordEdit);
    setTabOrder(passwordEdit, wageEdit);
    setTabOrder(wageEdit, commentsEdit);
    setTabOrder(commentsEdit, okButton);
    setTabOrder(okButton, cancelButton);
    setFixedClientSize(4200, 3900);

    connectGuarded(wageEdit, &QLineEdit::textChanged, this, &frmadd::wageEditChanged);
    connectGuarded(okButton, &QPushButton::clicked, this, &frmadd::okButtonClicked);
    connectGuarded(cancelButton, &QPushButton::clicked, this, &frmadd::cancelButtonClicked);
}

QWidget *frmadd::buildEmployeeFrame()
{
    QGroupBox *employeeFrame = frame("Frame1", QStringLiteral("Add a New Employee:"), this);
    auto *boxes = new QGridLayout(employeeFrame);
    boxes->setVerticalSpacing(3);
    QLabel *nameCaption = label("Label1", QStringLiteral("Name:"), employeeFrame);
    nameEdit = named(new QLineEdit(employeeFrame), "newemployee");
    QLabel *passwordCaption = label("Label2", QStringLiteral("Password:"), employeeFrame);
    passwordEdit = passwordBox("passwrd", employeeFrame);
    QLabel *wageCaption = label("Label3", QStringLiteral("Wage/hour: (required)"), employeeFrame);
    wageEdit = named(new QLineEdit(employeeFrame), "newwage");
    QLabel *commentsCaption = label("Label4", QStringLiteral("Comments:"), employeeFrame);
    commentsEdit = named(new QTextEdit(employeeFrame), "comments");
    commentsEdit->setAcceptRichText(false);
    commentsEdit->setTabChangesFocus(true);
    commentsEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    commentsEdit->setPlainText(QStringLiteral("  \n"));
    boxes->addWidget(nameCaption, 0, 0);
    boxes->addWidget(nameEdit, 0, 1);
    boxes->addWidget(passwordCaption, 1, 0);
    boxes->addWidget(passwordEdit, 1, 1);
    boxes->addWidget(wageCaption, 2, 0, 1, 2);
    boxes->addWidget(wageEdit, 3, 0, 1, 2);
    boxes->addWidget(commentsCaption, 4, 0, 1, 2);
    boxes->addWidget(commentsEdit, 5, 0, 1, 2);
    return employeeFrame;
}

QLayout *frmadd::buildButtons()
{
    auto *buttons = new QHBoxLayout;
    okButton = button("Command1", QStringLiteral("OK"), this);
    okButton->setEnabled(false);
    cancelButton = button("Command2", QStringLiteral("Cancel"), this);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    return buttons;
}

void frmadd::loaded()
{
    centre();
}

void frmadd::activated()
{
    forms().frmlogon().hide();
}

void frmadd::wageEditChanged()
{
    okButton->setEnabled(!wageEdit->text().isEmpty());
}

void frmadd::cancelButtonClicked()
{
    close();
}

QString frmadd::commentText() const
{
    return commentsEdit->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

void frmadd::okButtonClicked()
{
    const AddResult result =
        addNewEmployee(managingDatabase(),
                       {nameEdit->text(), wageEdit->text(), passwordEdit->text(), commentText()});
    if (result.step != AddStep::Added) {
        refuse(result);
        return;
    }
    forms().frmlogon().addName(storedName(nameEdit->text()));
    prompts().information(QStringLiteral("Employee has been added!"),
                          QStringLiteral("Information"));
    close();
    forms().frmmain().employeeAdded();
}

void frmadd::refuse(const AddResult &result)
{
    switch (result.step) {
    case AddStep::NameTooLong:
        prompts().warning(QStringLiteral("Sorry, the name is to long.  Please type in a name with "
                                         "less than 20 characters and without special "
                                         "characters (i.e. period, quotation marks, etc.)"),
                          QStringLiteral("Add error"));
        nameEdit->clear();
        return;
    case AddStep::NoName:
        prompts().warning(QStringLiteral("Please type in the name of the new Employee."), AddError);
        return;
    case AddStep::NameRefused:
    case AddStep::WageRefused:
        prompts().warning(result.reason, AddError);
        return;
    case AddStep::AlreadyListed:
        prompts().warning(QStringLiteral("Sorry, this Employee already exists."), AddError);
        return;
    case AddStep::Failed:
        // Nothing was written: the window stays open so the name can be changed.
        prompts().warning(QStringLiteral("Sorry, the Employee could not be added: ") +
                              result.reason + QLatin1Char('.'),
                          AddError);
        return;
    case AddStep::Added:
        break;
    }
}

} // namespace horalink
