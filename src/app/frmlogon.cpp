#include "frmlogon.h"

#include "app/forms.h"
#include "app/frmsplash.h"
#include "app/frmstartup.h"
#include "app/passwordbox.h"
#include "app/program.h"
#include "app/prompts.h"
#include "db/datacontrol.h"
#include "db/employees.h"
#include "db/passwordhash.h"
#include "mainwin/frmmain.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace horalink {

frmlogon::frmlogon()
    : Form(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
           Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmlogon"));
    setWindowTitle(ProgramTitle);

    auto *layout = new QGridLayout(this);
    Frame1 = new QGroupBox(QStringLiteral("Find Your Name"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *nameBox = new QVBoxLayout(Frame1);
    nameBox->setContentsMargins(4, 2, 4, 4);
    namechoice = new QComboBox(Frame1);
    namechoice->setObjectName(QStringLiteral("namechoice"));
    namechoice->setEditable(true);
    namechoice->setInsertPolicy(QComboBox::NoInsert);
    namechoice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    namechoice->setEditText(NamePrompt);
    nameBox->addWidget(namechoice);
    layout->addWidget(Frame1, 0, 0, 1, 2);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Exit"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    layout->addWidget(Command1, 1, 0);
    layout->addWidget(Command2, 1, 1);

    // Covers the name step while the password is asked for.
    passwordbx = new QWidget(this);
    passwordbx->setObjectName(QStringLiteral("passwordbx"));
    passwordbx->setAutoFillBackground(true);
    auto *passwordLayout = new QGridLayout(passwordbx);
    Frame2 = new QGroupBox(QStringLiteral("Password Required:"), passwordbx);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto *passwordBox = new QVBoxLayout(Frame2);
    passwordBox->setContentsMargins(4, 2, 4, 4);
    txtpass = new QLineEdit(Frame2);
    txtpass->setObjectName(QStringLiteral("txtpass"));
    showTypedAsPlus(txtpass);
    passwordBox->addWidget(txtpass);
    passwordLayout->addWidget(Frame2, 0, 0, 1, 2);
    Command3 = new QPushButton(QStringLiteral("OK"), passwordbx);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command4 = new QPushButton(QStringLiteral("Cancel"), passwordbx);
    Command4->setObjectName(QStringLiteral("Command4"));
    passwordLayout->addWidget(Command3, 1, 0);
    passwordLayout->addWidget(Command4, 1, 1);
    passwordbx->hide();
    setDefaultButton(Command3);

    cmpdata = new DataControl(QStringLiteral("cmpdata"), this);
    cmpdata->setRecordSource(QStringLiteral("Company Data"));
    cmpdata->hide();
    Datanames = new DataControl(QStringLiteral("Datanames"), this);
    Datanames->setRecordSource(QStringLiteral("datalist"));
    Datanames->hide();
    Datanames->bindDisplay(namechoice, QStringLiteral("Ename"));

    setFixedClientSize(3525, 1755);
    setTabOrder(namechoice, Command1);

    connectGuarded(namechoice, &QComboBox::editTextChanged, this, &frmlogon::namechoice_Change);
    connectGuarded(txtpass, &QLineEdit::textChanged, this, &frmlogon::txtpass_Change);
    connectGuarded(Command1, &QPushButton::clicked, this, &frmlogon::Command1_Click);
    connectGuarded(Command2, &QPushButton::clicked, this, &frmlogon::Command2_Click);
    connectGuarded(Command3, &QPushButton::clicked, this, &frmlogon::Command3_Click);
    connectGuarded(Command4, &QPushButton::clicked, this, &frmlogon::Command4_Click);
}

void frmlogon::resizeEvent(QResizeEvent *event)
{
    Form::resizeEvent(event);
    passwordbx->setGeometry(rect());
}

void frmlogon::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    // Another time clock on the same data may have added or deleted employees since the list
    // was read; the next user finds them as they are now.
    if (m_shownBefore && Datanames->recordSource() == QLatin1String("datalist"))
        guarded([this] { readNames(); });
    m_shownBefore = true;
    // Shown means activated here: the splash must go even when the first-run window takes
    // the focus at once.
    QTimer::singleShot(0, this, [this] { guarded([this] { Form_Activate(); }); });
}

void frmlogon::Form_Load()
{
    centre();
    cmpdata->refresh();
    if (cmpdata->eof()) {
        forms().frmstartup();
        hide();
        return;
    }
    forms().frmmain().company->setText(cmpdata->field(QStringLiteral("company")).toString());

    Datanames->setDatabaseName(QStringLiteral("Employee.mdb"));
    Datanames->setRecordSource(QStringLiteral("datalist"));
    readNames();
    namechoice->setEditText(NamePrompt);
}

void frmlogon::readNames()
{
    Datanames->refresh();
    // Every name in one read: a list of a thousand employees must not hold up the start.
    QStringList names;
    for (const QVariant &name : Datanames->column(QStringLiteral("ename")))
        names << name.toString();
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    names.removeDuplicates();
    const QString shown = namechoice->currentText();
    namechoice->clear();
    namechoice->addItems(names);
    namechoice->setEditText(shown);
}

void frmlogon::Form_Activate()
{
    if (forms().isLoaded<frmsplash>())
        forms().unload(forms().frmsplash());
    if (!forms().isLoaded<frmmain>())
        forms().frmmain();
}

void frmlogon::addName(const QString &name)
{
    // A name deleted and added again is still listed from before.
    if (namechoice->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        return;
    int at = 0;
    while (at < namechoice->count() &&
           QString::compare(namechoice->itemText(at), name, Qt::CaseInsensitive) <= 0)
        ++at;
    const QString shown = namechoice->currentText();
    namechoice->insertItem(at, name);
    namechoice->setEditText(shown);
}

void frmlogon::removeName(const QString &name)
{
    const int at = namechoice->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at < 0)
        return;
    const QString shown = namechoice->currentText();
    namechoice->removeItem(at);
    namechoice->setEditText(shown);
}

void frmlogon::namechoice_Change()
{
    setDefaultButton(Command1);
}

void frmlogon::txtpass_Change()
{
    setDefaultButton(Command3);
}

void frmlogon::Command1_Click()
{
    m_rememberedName = namechoice->currentText();
    Datanames->refresh();
    if (!findByName(*Datanames, QStringLiteral("ename"), m_rememberedName)) {
        namechoice->setEditText(m_rememberedName);
        prompts().warning(QStringLiteral("Please enter a valid Name or click on the Combo Box."),
                          QStringLiteral("Log In Error"));
        return;
    }
    m_storedPassword = Datanames->field(QStringLiteral("epass")).toString();
    m_wage = Datanames->field(QStringLiteral("ewage")).toString();
    txtpass->clear();
    if (!m_storedPassword.isEmpty()) {
        passwordbx->show();
        passwordbx->raise();
        txtpass->setFocus();
        return;
    }
    signOn(false);
    if (m_rememberedName == QLatin1String("Manager"))
        prompts().warning(QStringLiteral("You will be unable to use Management functions until "
                                         "you change your password."),
                          QStringLiteral("Information"));
}

void frmlogon::Command3_Click()
{
    const PasswordCheck check = checkPassword(txtpass->text(), m_storedPassword);
    if (check == PasswordCheck::Wrong) {
        prompts().warning(QStringLiteral("Incorrect Password, Please retry or Cancel."),
                          QStringLiteral("Password Error"));
        txtpass->clear();
        return;
    }
    // An older file holds the password as typed: from now on it holds only its hash.
    if (check == PasswordCheck::RightButStoredAsTyped)
        storePassword(Datanames->connection(), m_rememberedName, txtpass->text());
    passwordbx->hide();
    txtpass->clear();
    Datanames->moveFirst();
    signOn(true);
}

void frmlogon::signOn(bool byPassword)
{
    frmmain &main = forms().frmmain();
    hide();
    main.show();
    main.signOn({m_rememberedName, m_wage, byPassword});
}

void frmlogon::Command4_Click()
{
    passwordbx->hide();
    namechoice->setEditText(NamePrompt);
}

void frmlogon::Command2_Click()
{
    close();
}

void frmlogon::Form_Unload()
{
    cmpdata->close();
    endProgram();
}

} // namespace horalink
