#pragma once

#include "db/roster.h"
#include "ui/form.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace horalink {

// Where every sign-on starts: pick a name, give the password when there is one. It reads the
// company settings and the employee list when the program starts, and only it ends the
// program.
class frmlogon : public Form
{
    Q_OBJECT

public:
    frmlogon();

    void loaded() override;
    void activated() override;

    // Puts a name into the sorted list, as a newly added employee's.
    void addName(const QString &name);
    // Takes a deleted employee's name off the list.
    void removeName(const QString &name);
    // Shows the name box's prompt again, as the main window does when the user leaves it.
    void showPrompt(const QString &prompt);

protected:
    void closeBoxClicked() override;
    void escapePressed() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildNameFrame();
    void buildPasswordPanel();
    void connectControls();
    void selectName(Qt::FocusReason reason);
    void nameBoxEdited();
    void keepListedSpelling();
    void passwordEditChanged();
    void okButtonClicked();
    void exitButtonClicked();
    void showPasswordStep(bool shown);
    void passwordOkButtonClicked();
    void passwordCancelButtonClicked();

    // Hands the chosen employee to the main window, whose window it now is.
    void signOn(bool byPassword);
    // Fills the list with every listed name, sorted, keeping what the box shows.
    void readNames();

    // The employee found at the last press of OK, whose password is outstanding.
    EmployeeRow m_chosen;
    // Whether the employee was found in what the clock read of the server before, the server
    // being away: the password is checked against that list's hash.
    bool m_away = false;
    bool m_shownBefore = false;

    QGroupBox *nameFrame;
    QComboBox *nameBox;
    QPushButton *okButton;
    QPushButton *exitButton;
    // Covers the name step while the password is asked for.
    QWidget *passwordPanel;
    QLineEdit *passwordEdit;
    QPushButton *passwordOkButton;
    QPushButton *passwordCancelButton;
};

inline const QString NamePrompt = QStringLiteral("Click here for names-->");
// Told when a name is not in the employee list.
inline const QString NotListed =
    QStringLiteral("Please enter a valid Name or click on the Combo Box.");
inline const QString LogInError = QStringLiteral("Log In Error");

} // namespace horalink
