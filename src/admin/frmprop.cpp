#include "frmprop.h"

#include "app/forms.h"
#include "app/program.h"
#include "app/prompts.h"
#include "db/database.h"
#include "mainwin/frmmain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace horalink {

frmprop::frmprop() : Form(FixedDialog)
{
    setObjectName(QStringLiteral("frmprop"));
    setWindowTitle(ProgramTitle);
    auto *layout = new QVBoxLayout(this);
    Frame1 = new QGroupBox(QStringLiteral("User Properties:"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *boxes = new QVBoxLayout(Frame1);
    edits = new QCheckBox(QStringLiteral("Disable Employee Edits"), Frame1);
    edits->setObjectName(QStringLiteral("edits"));
    money = new QCheckBox(QStringLiteral("Disable Employee Wages Display"), Frame1);
    money->setObjectName(QStringLiteral("money"));
    subs = new QCheckBox(QStringLiteral("Turn off all Login Descriptions"), Frame1);
    subs->setObjectName(QStringLiteral("subs"));
    for (QCheckBox *box : {edits, money, subs})
        boxes->addWidget(box);
    layout->addWidget(Frame1);
    setFixedClientSize(4200, 1900);

    connectGuarded(edits, &QCheckBox::toggled, this, &frmprop::edits_Click);
    connectGuarded(money, &QCheckBox::toggled, this, &frmprop::money_Click);
    connectGuarded(subs, &QCheckBox::toggled, this, &frmprop::subs_Click);
}

void frmprop::Form_Load()
{
    centre();
}

void frmprop::Form_Activate()
{
    centre();
}

void frmprop::showEvent(QShowEvent *event)
{
    // The boxes show the switches in force; setting them here stores nothing.
    const Switches &shown = forms().frmmain().switches();
    const QSignalBlocker blockEdits(edits);
    const QSignalBlocker blockMoney(money);
    const QSignalBlocker blockSubs(subs);
    edits->setChecked(shown.edits);
    money->setChecked(shown.money);
    subs->setChecked(shown.subs);
    Form::showEvent(event);
}

void frmprop::closeEvent(QCloseEvent *event)
{
    // Only hidden: the switches stay in force, whichever way the window is left.
    event->accept();
    hide();
}

void frmprop::store(Switch which, bool on)
{
    frmmain &main = forms().frmmain();
    storeSwitch(openDatabase(EmployeeMdb), which, on);
    Switches switches = main.switches();
    switches.set(which, on);
    main.applySwitches(switches);
}

void frmprop::edits_Click()
{
    store(Switch::Edits, edits->isChecked());
}

void frmprop::money_Click()
{
    store(Switch::Money, money->isChecked());
}

void frmprop::subs_Click()
{
    // Nothing shows: each clock-in reads the switch.
    store(Switch::Subs, subs->isChecked());
}

} // namespace horalink
