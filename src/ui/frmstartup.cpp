#include "frmstartup.h"

#include "db/database.h"
#include "db/settings.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/frmlogon.h"
#include "ui/program.h"
#include "ui/prompts.h"

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

    welcomeLabel = label("Label1",
                         QStringLiteral("Welcome to Horalink startup!\n\n"
                                        "In order for Horalink to work properly, please "
                                        "supply your company name exactly as you wish for "
                                        "it to appear throughout Horalink.  You will NOT be "
                                        "able to change this later."),
                         this);
    welcomeLabel->setWordWrap(true);
    layout->addWidget(welcomeLabel, 1);

    companyFrame = frame("Frame1", QStringLiteral("Company Name:"), this);
    auto *nameBox = new QVBoxLayout(companyFrame);
    companyEdit = named(new QLineEdit(companyFrame), "Companyname");
    nameBox->addWidget(companyEdit);
    layout->addWidget(companyFrame);

    okButton = button("Command1", QStringLiteral("OK"), this);
    layout->addWidget(okButton, 0, Qt::AlignHCenter);
    setDefaultButton(okButton);

    setFixedClientSize(4185, 3900);
    connectGuarded(okButton, &QPushButton::clicked, this, &frmstartup::okButtonClicked);
}

void frmstartup::loaded()
{
    centre();
    show();
    companyEdit->setFocus();
}

void frmstartup::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    QTimer::singleShot(0, this, [this] { guarded([this] { activated(); }); });
}

void frmstartup::activated()
{
    forms().frmlogon().hide();
}

void frmstartup::okButtonClicked()
{
    // The name is stored once and printed on every card: a blank one could never be mended.
    if (companyEdit->text().trimmed().isEmpty()) {
        prompts().warning(QStringLiteral("Please type in your company name."),
                          QStringLiteral("Horalink Startup Screen"));
        companyEdit->setFocus();
        return;
    }
    storeCompany(openDatabase(EmployeeMdb), companyEdit->text());
    prompts().information(QStringLiteral("Thank You.  You must now Restart Horalink."),
                          QStringLiteral("Please Restart"));
    endProgram();
}

void frmstartup::closeBoxClicked()
{
    endProgram();
}

// Closing this window ends the program before the company is named; a key that also takes
// back typing must not do that by a second press.
void frmstartup::escapePressed()
{}

} // namespace horalink
