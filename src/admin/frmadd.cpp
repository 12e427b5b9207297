#include "frmadd.h"

#include "app/forms.h"
#include "app/frmlogon.h"
#include "app/passwordbox.h"
#include "app/program.h"
#include "app/prompts.h"
#include "mainwin/frmmain.h"

#include <QEvent>
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

template <class T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

frmadd::frmadd() : Form(FixedDialog)
{
    setObjectName(QStringLiteral("frmadd"));
    setWindowTitle(ProgramTitle);
    auto *layout = new QVBoxLayout(this);

    Frame1 = named(new QGroupBox(QStringLiteral("Add a New Employee:"), this), "Frame1");
    auto *boxes = new QGridLayout(Frame1);
    boxes->setVerticalSpacing(3);
    Label1 = named(new QLabel(QStringLiteral("Name:"), Frame1), "Label1");
    newemployee = named(new QLineEdit(Frame1), "newemployee");
    Label2 = named(new QLabel(QStringLiteral("Password:"), Frame1), "Label2");
    passwrd = named(new QLineEdit(Frame1), "passwrd");
    showTypedAsPlus(passwrd);
    // The employee list keeps at most 255 characters of a password.
    passwrd->setMaxLength(255);
    Label3 = named(new QLabel(QStringLiteral("Wage/hour: (required)"), Frame1), "Label3");
    newwage = named(new QLineEdit(Frame1), "newwage");
    Label4 = named(new QLabel(QStringLiteral("Comments:"), Frame1), "Label4");
    comments = named(new QTextEdit(Frame1), "comments");
    comments->setAcceptRichText(false);
    comments->setTabChangesFocus(true);
    comments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    comments->setPlainText(QStringLiteral("  \n"));
    boxes->addWidget(Label1, 0, 0);
    boxes->addWidget(newemployee, 0, 1);
    boxes->addWidget(Label2, 1, 0);
    boxes->addWidget(passwrd, 1, 1);
    boxes->addWidget(Label3, 2, 0, 1, 2);
    boxes->addWidget(newwage, 3, 0, 1, 2);
    boxes->addWidget(Label4, 4, 0, 1, 2);
    boxes->addWidget(comments, 5, 0, 1, 2);
    layout->addWidget(Frame1, 1);

    auto *buttons = new QHBoxLayout;
    Command1 = named(new QPushButton(QStringLiteral("OK"), this), "Command1");
    Command1->setEnabled(false);
    Command2 = named(new QPushButton(QStringLiteral("Cancel"), this), "Command2");
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    layout->addLayout(buttons);
    setDefaultButton(Command1);

    setTabOrder(newemployee, passwrd);
    setTabOrder(passwrd, newwage);
    setTabOrder(newwage, comments);
    setTabOrder(comments, Command1);
    setTabOrder(Command1, Command2);
    setFixedClientSize(4200, 3900);

    connectGuarded(newwage, &QLineEdit::textChanged, this, &frmadd::newwage_Change);
    connectGuarded(Command1, &QPushButton::clicked, this, &frmadd::Command1_Click);
    connectGuarded(Command2, &QPushButton::clicked, this, &frmadd::Command2_Click);
}

void frmadd::Form_Load()
{
    centre();
}

void frmadd::Form_Activate()
{
    forms().frmlogon().hide();
}

void frmadd::newwage_Change()
{
    Command1->setEnabled(!newwage->text().isEmpty());
}

void frmadd::Command2_Click()
{
    close();
}

QString frmadd::commentText() const
{
    return comments->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

} // namespace horalink
