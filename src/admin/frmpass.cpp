#include "frmpass.h"

#include "app/forms.h"
#include "app/passwordbox.h"
#include "app/program.h"
#include "app/prompts.h"
#include "mainwin/frmmain.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace horalink {

namespace {

QLineEdit *passwordBox(const char *name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    showTypedAsPlus(box);
    // The employee list keeps at most 255 characters of a password.
    box->setMaxLength(255);
    return box;
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QGroupBox *passwordFrame(const char *name, QLineEdit *&box, const char *boxName, QWidget *parent)
{
    auto *frame = new QGroupBox(QStringLiteral("Enter New Password:"), parent);
    frame->setObjectName(QLatin1String(name));
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
    Frame1 = passwordFrame("Frame1", newpasswrd, "newpasswrd", this);
    layout->addWidget(Frame1, 0, 0, 1, 2);
    Command1 = button("Command1", QStringLiteral("OK"), this);
    Command2 = button("Command2", QStringLiteral("Cancel"), this);
    layout->addWidget(Command1, 1, 0);
    layout->addWidget(Command2, 1, 1);

    // The manager's panel covers the own-password controls while it is shown.
    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    auto *panel = new QGridLayout(Picture1);
    Frame2 = passwordFrame("Frame2", Text1, "Text1", Picture1);
    panel->addWidget(Frame2, 0, 0, 1, 2);
    Command3 = button("Command3", QStringLiteral("OK"), Picture1);
    panel->addWidget(Command3, 1, 0);
    Picture1->hide();
    Picture1->installEventFilter(this);
    setDefaultButton(Command1);

    setTabOrder(newpasswrd, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Text1);
    setTabOrder(Text1, Command3);
    setFixedClientSize(3600, 1700);

    connectGuarded(newpasswrd, &QLineEdit::textChanged, this, &frmpass::newpasswrd_Change);
    connectGuarded(Text1, &QLineEdit::textChanged, this, &frmpass::Text1_Change);
    connectGuarded(Command1, &QPushButton::clicked, this, &frmpass::Command1_Click);
    connectGuarded(Command2, &QPushButton::clicked, this, &frmpass::Command2_Click);
    connectGuarded(Command3, &QPushButton::clicked, this, &frmpass::Command3_Click);
}

void frmpass::Form_Load()
{
    centre();
}

void frmpass::resizeEvent(QResizeEvent *event)
{
    Form::resizeEvent(event);
    Picture1->setGeometry(rect());
}

bool frmpass::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Picture1 && event->type() == QEvent::Paint)
        guarded([this] { Picture1_Paint(); });
    return Form::eventFilter(watched, event);
}

void frmpass::newpasswrd_Change()
{
    setDefaultButton(Command1);
}

void frmpass::Text1_Change()
{
    setDefaultButton(Command3);
}

void frmpass::Picture1_Paint()
{
    // Painting runs often; only a change of focus or default button is worth making, and
    // making it again would repaint the panel without end.
    if (!Text1->hasFocus())
        Text1->setFocus();
    if (defaultButton() != Command3)
        setDefaultButton(Command3);
}

void frmpass::Command2_Click()
{
    close();
}

} // namespace horalink
