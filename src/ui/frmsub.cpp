#include "frmsub.h"

#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/program.h"
#include "ui/prompts.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace horalink {

namespace {

// The width of the activity field.
constexpr int LongestTask = 30;

} // namespace

frmsub::frmsub() : Form(FixedDialog)
{
    setObjectName(QStringLiteral("frmsub"));
    setWindowTitle(ProgramTitle);
    auto *layout = new QVBoxLayout(this);
    QGroupBox *taskFrame = frame("Frame1", QStringLiteral("Enter a Task:"), this);
    auto *taskBox = new QVBoxLayout(taskFrame);
    taskEdit = named(new QLineEdit(taskFrame), "activity");
    taskBox->addWidget(taskEdit);
    layout->addWidget(taskFrame);
    okButton = button("Command1", QStringLiteral("OK"), this);
    layout->addWidget(okButton, 0, Qt::AlignHCenter);
    setDefaultButton(okButton);
    setFixedClientSize(3600, 1500);
    connectGuarded(okButton, &QPushButton::clicked, this, &frmsub::okButtonClicked);
}

void frmsub::loaded()
{
    centre();
}

void frmsub::activated()
{
    taskEdit->setFocus();
}

void frmsub::okButtonClicked()
{
    if (taskEdit->text().length() > LongestTask) {
        prompts().warning(QStringLiteral("Sorry, Tasks can only be up to 30 characters in length."),
                          QStringLiteral("Clock In Error"));
        return;
    }
    forms().frmmain().fxnclockin(taskEdit->text());
    // Done with: a prompt left loaded would be cancelled, box and all, when the user leaves.
    forms().unload(*this);
}

void frmsub::closeBoxClicked()
{
    prompts().warning(QStringLiteral("Clock In has been Canceled.  If you wish to disable the "
                                     "prompt for a project activity, check the box marked disable"),
                      QStringLiteral("Canceled"));
}

} // namespace horalink
