#include "frmstartup.h"

#include "app/forms.h"
#include "app/frmlogon.h"
#include "app/program.h"
#include "app/prompts.h"
#include "db/datacontrol.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace horalink {

frmstartup::frmstartup() : Form(FixedWindow)
{
    setObjectName(QStringLiteral("frmstartup"));
    setWindowTitle(QStringLiteral("Horalink Startup Screen"));
    auto *layout = new QVBoxLayout(this);

    Label1 = new QLabel(QStringLiteral("Welcome to Horalink startup!\n\n"
                                       "In order for Horalink to work properly, please supply "
                                       "your company name exactly as you wish for it to appear "
                                       "throughout Horalink.  You will NOT be able to change "
                                       "this later."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    layout->addWidget(Label1, 1);

    Frame1 = new QGroupBox(QStringLiteral("Company Name:"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *nameBox = new QVBoxLayout(Frame1);
    Companyname = new QLineEdit(Frame1);
    Companyname->setObjectName(QStringLiteral("Companyname"));
    nameBox->addWidget(Companyname);
    layout->addWidget(Frame1);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    layout->addWidget(Command1, 0, Qt::AlignHCenter);
    setDefaultButton(Command1);

    setFixedClientSize(4185, 3900);
    connectGuarded(Command1, &QPushButton::clicked, this, &frmstartup::Command1_Click);
}

void frmstartup::Form_Load()
{
    centre();
    show();
    Companyname->setFocus();
}

void frmstartup::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    QTimer::singleShot(0, this, [this] { guarded([this] { Form_Activate(); }); });
}

void frmstartup::Form_Activate()
{
    forms().frmlogon().hide();
}

void frmstartup::Command1_Click()
{
    // The name is stored once and printed on every card: a blank one could never be mended.
    if (Companyname->text().trimmed().isEmpty()) {
        prompts().warning(QStringLiteral("Please type in your company name."),
                          QStringLiteral("Horalink Startup Screen"));
        Companyname->setFocus();
        return;
    }
    DataControl &settings = *forms().frmlogon().cmpdata;
    settings.refresh();
    settings.addNew();
    settings.setField(QStringLiteral("Company"), Companyname->text());
    settings.update();
    prompts().information(QStringLiteral("Thank You.  You must now Restart Horalink."),
                          QStringLiteral("Please Restart"));
    endProgram();
}

void frmstartup::Form_Unload()
{
    endProgram();
}

} // namespace horalink
