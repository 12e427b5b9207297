#include "frmlogon.h"

#include "admin/signon.h"
#include "db/database.h"
#include "db/settings.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/frmsplash.h"
#include "ui/frmstartup.h"
#include "ui/passwordbox.h"
#include "ui/program.h"
#include "ui/prompts.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
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
    nameFrame = frame("Frame1", QStringLiteral("Find Your Name"), this);
    auto *nameLayout = new QVBoxLayout(nameFrame);
    nameLayout->setContentsMargins(4, 2, 4, 4);
    nameBox = named(new QComboBox(nameFrame), "namechoice");
    nameBox->setEditable(true);
    nameBox->setInsertPolicy(QComboBox::NoInsert);
    nameBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    nameBox->setEditText(NamePrompt);
    nameLayout->addWidget(nameBox);
    layout->addWidget(nameFrame, 0, 0, 1, 2);
    okButton = button("Command1", QStringLiteral("OK"), this);
    exitButton = button("Command2", QStringLiteral("Exit"), this);
    layout->addWidget(okButton, 1, 0);
    layout->addWidget(exitButton, 1, 1);

    passwordPanel = named(new QWidget(this), "passwordbx");
    passwordPanel->setAutoFillBackground(true);
    auto *passwordLayout = new QGridLayout(passwordPanel);
    passwordFrame = frame("Frame2", QStringLiteral("Password Required:"), passwordPanel);
    auto *passwordFrameLayout = new QVBoxLayout(passwordFrame);
    passwordFrameLayout->setContentsMargins(4, 2, 4, 4);
    passwordEdit = passwordBox("txtpass", passwordFrame);
    passwordFrameLayout->addWidget(passwordEdit);
    passwordLayout->addWidget(passwordFrame, 0, 0, 1, 2);
    passwordOkButton = button("Command3", QStringLiteral("OK"), passwordPanel);
    passwordCancelButton = button("Command4", QStringLiteral("Cancel"), passwordPanel);
    passwordLayout->addWidget(passwordOkButton, 1, 0);
    passwordLayout->addWidget(passwordCancelButton, 1, 1);
    passwordPanel->hide();
    setDefaultButton(passwordOkButton);
    setCancelButton(passwordCancelButton);

    setFixedClientSize(3525, 1755);
    setTabOrder(nameBox, okButton);
    nameBox->installEventFilter(this);
    nameBox->lineEdit()->installEventFilter(this);

    connectGuarded(nameBox, &QComboBox::editTextChanged, this, &frmlogon::nameBoxEdited);
    connectGuarded(passwordEdit, &QLineEdit::textChanged, this, &frmlogon::passwordEditChanged);
    connectGuarded(okButton, &QPushButton::clicked, this, &frmlogon::okButtonClicked);
    connectGuarded(exitButton, &QPushButton::clicked, this, &frmlogon::exitButtonClicked);
    connectGuarded(passwordOkButton, &QPushButton::clicked, this,
                   &frmlogon::passwordOkButtonClicked);
    connectGuarded(passwordCancelButton, &QPushButton::clicked, this,
                   &frmlogon::passwordCancelButtonClicked);
}

bool frmlogon::eventFilter(QObject *watched, QEvent *event)
{
    // The name box would take the first Enter to accept the name it completed ("Man" to
    // "Manager"); one Enter signs on with it.
    if ((watched == nameBox || watched == nameBox->lineEdit()) &&
        event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !nameBox->view()->isVisible() &&
            defaultButton() == okButton) {
            okButton->click();
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}

void frmlogon::resizeEvent(QResizeEvent *event)
{
    Form::resizeEvent(event);
    passwordPanel->setGeometry(rect());
}

void frmlogon::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    // Another time clock on the same data may have added or deleted employees since the list
    // was read; the next user finds them as they are now.
    if (m_shownBefore && nameBox->count() > 0)
        guarded([this] { readNames(); });
    m_shownBefore = true;
    // Shown means activated here: the splash must go even when the first-run window takes
    // the focus at once.
    QTimer::singleShot(0, this, [this] { guarded([this] { activated(); }); });
}

void frmlogon::loaded()
{
    centre();
    Connection &file = openDatabase(EmployeeMdb);
    if (!readCompany(file)) {
        forms().frmstartup();
        hide();
        return;
    }
    readNames();
    nameBox->setEditText(NamePrompt);
}

void frmlogon::readNames()
{
    QStringList names;
    for (const ListedEmployee &employee : listedEmployees(openDatabase(EmployeeMdb)))
        names << employee.name;
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    const QString shown = nameBox->currentText();
    nameBox->clear();
    nameBox->addItems(names);
    nameBox->setEditText(shown);
}

void frmlogon::activated()
{
    if (forms().isLoaded<frmsplash>())
        forms().unload(forms().frmsplash());
    // The main window is loaded, hidden, once this window is up and idle: nothing of it is
    // needed to pick a name, and a sign-on loads it at once if it is not loaded by then.
    QTimer::singleShot(0, this, [] {
        guarded([] {
            if (!forms().isLoaded<frmmain>())
                forms().frmmain();
        });
    });
}

void frmlogon::addName(const QString &name)
{
    // A name deleted and added again is still listed from before.
    if (nameBox->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        return;
    int at = 0;
    while (at < nameBox->count() &&
           QString::compare(nameBox->itemText(at), name, Qt::CaseInsensitive) <= 0)
        ++at;
    const QString shown = nameBox->currentText();
    nameBox->insertItem(at, name);
    nameBox->setEditText(shown);
}

void frmlogon::removeName(const QString &name)
{
    const int at = nameBox->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at < 0)
        return;
    const QString shown = nameBox->currentText();
    nameBox->removeItem(at);
    nameBox->setEditText(shown);
}

void frmlogon::showPrompt(const QString &prompt)
{
    nameBox->setEditText(prompt);
}

void frmlogon::nameBoxEdited()
{
    setDefaultButton(okButton);
}

void frmlogon::passwordEditChanged()
{
    setDefaultButton(passwordOkButton);
}

void frmlogon::okButtonClicked()
{
    const QString typed = nameBox->currentText();
    const auto found = findEmployee(openDatabase(EmployeeMdb), typed);
    if (!found) {
        prompts().warning(NotListed, LogInError);
        return;
    }
    m_chosen = *found;
    passwordEdit->clear();
    if (!m_chosen.password.isEmpty()) {
        passwordPanel->show();
        passwordPanel->raise();
        passwordEdit->setFocus();
        return;
    }
    const bool manager = m_chosen.name == ManagerName;
    signOn(false);
    if (manager)
        prompts().warning(QStringLiteral("You will be unable to use Management functions until "
                                         "you change your password."),
                          QStringLiteral("Information"));
}

void frmlogon::passwordOkButtonClicked()
{
    if (!acceptPassword(openDatabase(EmployeeMdb), m_chosen, passwordEdit->text())) {
        prompts().warning(QStringLiteral("Incorrect Password, Please retry or Cancel."),
                          QStringLiteral("Password Error"));
        passwordEdit->clear();
        return;
    }
    passwordPanel->hide();
    passwordEdit->clear();
    signOn(true);
}

void frmlogon::signOn(bool byPassword)
{
    frmmain &main = forms().frmmain();
    hide();
    main.show();
    main.signOn({m_chosen.name, m_chosen.wage, byPassword});
    m_chosen = {};
}

void frmlogon::passwordCancelButtonClicked()
{
    passwordPanel->hide();
    nameBox->setEditText(NamePrompt);
    m_chosen = {};
}

void frmlogon::exitButtonClicked()
{
    close();
}

void frmlogon::closeBoxClicked()
{
    endProgram();
}

} // namespace horalink
