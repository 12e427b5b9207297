#pragma once

#include "app/form.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace horalink {

class DataControl;

// Where every sign-on starts: pick a name, give the password when there is one. It reads the
// company settings and the employee list when the program starts, and only it ends the
// program.
class frmlogon : public Form
{
    Q_OBJECT

public:
    frmlogon();

    void Form_Load() override;
    void Form_Activate() override;

    // Puts a name into the sorted list, as a newly added employee's.
    void addName(const QString &name);
    // Takes a deleted employee's name off the list.
    void removeName(const QString &name);

    QGroupBox *Frame1;
    QComboBox *namechoice;
    QPushButton *Command1;
    QPushButton *Command2;
    QWidget *passwordbx;
    QGroupBox *Frame2;
    QLineEdit *txtpass;
    QPushButton *Command3;
    QPushButton *Command4;
    DataControl *cmpdata;
    DataControl *Datanames;

protected:
    void Form_Unload() override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void namechoice_Change();
    void txtpass_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    // Hands the remembered employee to the main window, whose window it now is.
    void signOn(bool byPassword);
    // Fills the list with every listed name, sorted, keeping what the box shows.
    void readNames();

    QString m_rememberedName;
    QString m_storedPassword;
    QString m_wage;
    bool m_shownBefore = false;
};

inline const QString NamePrompt = QStringLiteral("Click here for names-->");

} // namespace horalink
