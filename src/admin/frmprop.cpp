#include "frmprop.h"

#include "app/forms.h"
#include "app/frmlogon.h"
#include "app/program.h"
#include "app/prompts.h"
#include "db/datacontrol.h"
#include "mainwin/frmmain.h"

#include <QCheckBox>
#include <QGroupBox>
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

    // A box runs its procedure whenever its value changes, by a click or by the program.
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

bool frmprop::store(QCheckBox *box, const QString &column)
{
    DataControl &settings = *forms().frmlogon().cmpdata;
    const bool on = box->isChecked();
    if (on)
        settings.refresh();
    settings.edit();
    settings.setField(column, on ? 1 : 0);
    settings.update();
    return on;
}

void frmprop::edits_Click()
{
    forms().frmmain().applyEdits(store(edits, QStringLiteral("edits")));
}

void frmprop::money_Click()
{
    forms().frmmain().applyMoney(store(money, QStringLiteral("money")));
}

void frmprop::subs_Click()
{
    // Nothing shows: each clock-in reads the box itself.
    store(subs, QStringLiteral("subs"));
}

} // namespace horalink
