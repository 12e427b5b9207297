#include "frmlogon.h"

#include "admin/signon.h"
#include "db/database.h"
#include "db/passwordhash.h"
#include "db/settings.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/frmmain.h"
#include "ui/frmsplash.h"
#include "ui/frmstartup.h"
#include "ui/keptclock.h"
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

namespace {

// The listed name a completed text stands for, letter case aside: the one spelled as typed so
// far when names differ only in case.
QString listedSpelling(const QComboBox &names, const QString &completed, const QString &typed)
{
    QString found;
    for (int at = 0; at < names.count(); ++at) {
        const QString name = names.itemText(at);
        if (name.compare(completed, Qt::CaseInsensitive) != 0)
            continue;
        if (name == completed || name.startsWith(typed))
            return name;
        if (found.isEmpty())
            found = name;
    }
    return found;
}

} // namespace

frmlogon::frmlogon()
    : Form(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
           Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmlogon"));
    setWindowTitle(ProgramTitle);

    auto *layout = new QGridLayout(this);
    layout->addWidget(buildNameFrame(), 0, 0, 1, 2);
    okButton = button("Command1", QStringLiteral("OK"), this);
    exitButton = button("Command2", QStringLiteral("Exit"), this);
    layout->addWidget(okButton, 1, 0);
    layout->addWidget(exitButton, 1, 1);
    buildPasswordPanel();
    setDefaultButton(passwordOkButton);
    setCancelButton(passwordCancelButton);

    setFixedClientSize(3525, 1755);
    setTabOrder(nameBox, okButton);
    nameBox->installEventFilter(this);
    nameBox->lineEdit()->installEventFilter(this);
    connectControls();
}

QWidget *frmlogon::buildNameFrame()
{
    nameFrame = frame("Frame1", QStringLiteral("Find Your Name"), this);
    auto *nameLayout = new QVBoxLayout(nameFrame);
    nameLayout->setContentsMargins(4, 2, 4, 4);
    nameBox = named(new QComboBox(nameFrame), "namechoice");
    nameBox->setEditable(true);
    nameBox->setInsertPolicy(QComboBox::NoInsert);
    nameBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    nameBox->setEditText(NamePrompt);
    nameBox->lineEdit()->setAccessibleName(nameFrame->title());
    nameBox->view()->setAccessibleName(QStringLiteral("Names"));
    nameLayout->addWidget(nameBox);
    return nameFrame;
}

// Covers the name step while the password is asked for.
void frmlogon::buildPasswordPanel()
{
    passwordPanel = named(new QWidget(this), "passwordbx");
    passwordPanel->setAutoFillBackground(true);
    auto *passwordLayout = new QGridLayout(passwordPanel);
    QGroupBox *passwordFrame = frame("Frame2", QStringLiteral("Password Required:"), passwordPanel);
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
}

void frmlogon::connectControls()
{
    connectGuarded(nameBox, &QComboBox::editTextChanged, this, &frmlogon::nameBoxEdited);
    // A completion is shown, text and selection, when the selection changes.
    connectGuarded(nameBox->lineEdit(), &QLineEdit::selectionChanged, this,
                   &frmlogon::keepListedSpelling);
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
    if (watched == nameBox && event->type() == QEvent::FocusIn)
        selectName(static_cast<QFocusEvent *>(event)->reason());
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

// Whatever the box shows when it takes the focus (the prompt, the last name) is selected, so
// typing replaces it. A click places the cursor after the focus came, hence later, unless
// the user typed meanwhile.
void frmlogon::selectName(Qt::FocusReason reason)
{
    QLineEdit *line = nameBox->lineEdit();
    if (reason != Qt::MouseFocusReason) {
        line->selectAll();
        return;
    }
    QTimer::singleShot(0, line, [line, shown = line->text()] {
        if (line->text() == shown)
            line->selectAll();
    });
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
    if (!companyHere()) {
        forms().frmstartup();
        hide();
        return;
    }
    readNames();
    showPrompt(NamePrompt);
}

void frmlogon::readNames()
{
    const QStringList names = namesHere();
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
    nameBox->lineEdit()->selectAll();
}

void frmlogon::nameBoxEdited()
{
    setDefaultButton(okButton);
}

// The box completes what is typed whatever its letter case, keeping the letters as typed
// ("bob" to "bob Smith"); the name is only found as listed, so a completed name is spelled
// as listed, with the completed part still selected for typing over.
void frmlogon::keepListedSpelling()
{
    QLineEdit *line = nameBox->lineEdit();
    const QString shown = line->text();
    const int from = line->selectionStart();
    if (from <= 0 || from + line->selectedText().size() != shown.size())
        return;
    const QString listed = listedSpelling(*nameBox, shown, shown.left(from));
    if (listed.isEmpty() || listed == shown)
        return;
    line->setText(listed);
    line->setSelection(shown.size(), from - shown.size());
}

void frmlogon::escapePressed()
{
    // Esc on the name step takes back the name, never the program: that ends only by Exit
    // or the close box.
    if (passwordPanel->isVisible())
        Form::escapePressed();
    else
        showPrompt(NamePrompt);
}

void frmlogon::passwordEditChanged()
{
    setDefaultButton(passwordOkButton);
}

void frmlogon::okButtonClicked()
{
    const QString typed = nameBox->currentText();
    const auto found = employeeHere(typed);
    if (!found) {
        prompts().warning(NotListed, LogInError);
        return;
    }
    m_chosen = *found;
    passwordEdit->clear();
    m_away = serverAwayNow();
    if (m_away && m_chosen.name == ManagerName) {
        prompts().warning(QStringLiteral("The server cannot be reached, and the Manager's "
                                         "functions need it. Please sign on again when it can be "
                                         "reached."),
                          LogInError);
        m_chosen = {};
        return;
    }
    if (!m_chosen.password.isEmpty() || asksServerPassword(m_chosen)) {
        showPasswordStep(true);
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

// The name step lies under the password panel, out of sight but not out of Tab's reach
// unless it is disabled.
void frmlogon::showPasswordStep(bool shown)
{
    for (QWidget *nameStep : std::initializer_list<QWidget *>{nameFrame, okButton, exitButton})
        nameStep->setEnabled(!shown);
    passwordPanel->setVisible(shown);
    if (shown)
        passwordPanel->raise();
    else
        nameBox->setFocus();
}

void frmlogon::passwordOkButtonClicked()
{
    const bool accepted =
        m_away ? checkPassword(passwordEdit->text(), m_chosen.password) == PasswordCheck::Right
               : acceptPassword(openDatabase(EmployeeMdb), m_chosen, passwordEdit->text());
    if (!accepted) {
        prompts().warning(QStringLiteral("Incorrect Password, Please retry or Cancel."),
                          QStringLiteral("Password Error"));
        passwordEdit->clear();
        return;
    }
    showPasswordStep(false);
    passwordEdit->clear();
    signOn(true);
}

void frmlogon::signOn(bool byPassword)
{
    frmmain &main = forms().frmmain();
    hide();
    main.show();
    main.signOn({m_chosen.name, m_chosen.wage, byPassword}, settingsHere());
    m_chosen = {};
}

void frmlogon::passwordCancelButtonClicked()
{
    showPasswordStep(false);
    showPrompt(NamePrompt);
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
