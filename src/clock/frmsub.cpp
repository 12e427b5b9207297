#include "frmsub.h"

#include "app/forms.h"
#include "app/program.h"
#include "app/prompts.h"
#include "mainwin/frmmain.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace horalink {

frmsub::frmsub() : Form(FixedDialog)
{
    setObjectName(QStringLiteral("frmsub"));
    setWindowTitle(ProgramTitle);
    auto *layout = new QVBoxLayout(this);
    Frame1 = new QGroupBox(QStringLiteral("Enter a Task:"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *taskBox = new QVBoxLayout(Frame1);
    activity = new QLineEdit(Frame1);
    activity->setObjectName(QStringLiteral("activity"));
    taskBox->addWidget(activity);
    layout->addWidget(Frame1);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    layout->addWidget(Command1, 0, Qt::AlignHCenter);
    setDefaultButton(Command1);
    setFixedClientSize(3600, 1500);
    connectGuarded(Command1, &QPushButton::clicked, this, &frmsub::Command1_Click);
}

void frmsub::Form_Load()
{
    centre();
}

void frmsub::Form_Activate()
{
    activity->setFocus();
}

void frmsub::Command1_Click()
{
    if (activity->text().length() > 30) {
        prompts().warning(QStringLiteral("Sorry, Tasks can only be up to 30 characters in length."),
                          QStringLiteral("Clock In Error"));
        return;
    }
    frmmain &main = forms().frmmain();
    main.fxnclockin(main.session().employee);
    hide();
}

void frmsub::Form_Unload()
{
    prompts().warning(QStringLiteral("Clock In has been Canceled.  If you wish to disable the "
                                     "prompt for a project activity, check the box marked disable"),
                      QStringLiteral("Canceled"));
}

} // namespace horalink
