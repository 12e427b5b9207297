#pragma once

#include "app/form.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace horalink {

// Changes a password: the signed-on user's own, or, with the panel shown from the Management
// tab, that of the employee shown there. Neither asks for the old password. The main window
// closes it, changing nothing, when it is left, so that it never changes the password of
// whoever signs on next.
class frmpass : public Form
{
    Q_OBJECT

public:
    frmpass();

    void Form_Load() override;

    QGroupBox *Frame1;
    QLineEdit *newpasswrd;
    QPushButton *Command1;
    QPushButton *Command2;
    QWidget *Picture1;
    QGroupBox *Frame2;
    QLineEdit *Text1;
    QPushButton *Command3;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void newpasswrd_Change();
    void Text1_Change();
    void Picture1_Paint();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // Stores the password in the employee list's first row of the name and closes the window.
    void changePassword(const QString &name, const QString &password);
};

} // namespace horalink
