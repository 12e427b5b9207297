#include "frmprop.h"

#include "db/database.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/program.h"
#include "ui/prompts.h"

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
    QGroupBox *switchesFrame = frame("Frame1", QStringLiteral("User Properties:"), this);
    auto *boxes = new QVBoxLayout(switchesFrame);
    editsBox =
        named(new QCheckBox(QStringLiteral("Disable Employee Edits"), switchesFrame), "edits");
    moneyBox = named(new QCheckBox(QStringLiteral("Disable Employee Wages Display"), switchesFrame),
                     "money");
    subsBox = named(new QCheckBox(QStringLiteral("Turn off all Login Descriptions"), switchesFrame),
                    "subs");
    signoffBox = named(
        new QCheckBox(QStringLiteral("Sign off after 2 minutes without input"), switchesFrame),
        "signoff");
    for (QCheckBox *box : {editsBox, moneyBox, subsBox, signoffBox})
        boxes->addWidget(box);
    layout->addWidget(switchesFrame);
    setFixedClientSize(4200, 2300);

    connectGuarded(editsBox, &QCheckBox::toggled, this, &frmprop::editsBoxToggled);
    connectGuarded(moneyBox, &QCheckBox::toggled, this, &frmprop::moneyBoxToggled);
    connectGuarded(subsBox, &QCheckBox::toggled, this, &frmprop::subsBoxToggled);
    connectGuarded(signoffBox, &QCheckBox::toggled, this, &frmprop::signoffBoxToggled);
}

void frmprop::loaded()
{
    centre();
}

void frmprop::activated()
{
    centre();
}

void frmprop::showSwitches(const Switches &inForce)
{
    const QSignalBlocker blockEdits(editsBox);
    const QSignalBlocker blockMoney(moneyBox);
    const QSignalBlocker blockSubs(subsBox);
    const QSignalBlocker blockSignoff(signoffBox);
    editsBox->setChecked(inForce.edits);
    moneyBox->setChecked(inForce.money);
    subsBox->setChecked(inForce.subs);
    signoffBox->setChecked(inForce.signoff);
}

void frmprop::closeEvent(QCloseEvent *event)
{
    // Only hidden: the switches stay in force, whichever way the window is left.
    event->accept();
    hide();
}

void frmprop::store(Switch which, bool on)
{
    storeSwitch(managingDatabase(), which, on);
    forms().frmmain().switchStored(which, on);
}

void frmprop::editsBoxToggled(bool on)
{
    store(Switch::Edits, on);
}

void frmprop::moneyBoxToggled(bool on)
{
    store(Switch::Money, on);
}

void frmprop::subsBoxToggled(bool on)
{
    // Nothing shows: each clock-in reads the switch.
    store(Switch::Subs, on);
}

void frmprop::signoffBoxToggled(bool on)
{
    // The main window reads the switch as its clock ticks.
    store(Switch::Signoff, on);
}

} // namespace horalink
