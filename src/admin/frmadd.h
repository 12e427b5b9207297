#pragma once

#include "app/form.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace horalink {

// Adds an employee: a row in the employee list and an empty time log of the same name. It
// does not block the main window; a refused OK leaves it open for another try. The main window
// closes it, adding nothing, when it is left, so that it never serves whoever signs on next.
class frmadd : public Form
{
    Q_OBJECT

public:
    frmadd();

    void Form_Load() override;
    void Form_Activate() override;

    QGroupBox *Frame1;
    QLabel *Label1;
    QLineEdit *newemployee;
    QLabel *Label2;
    QLineEdit *passwrd;
    QLabel *Label3;
    QLineEdit *newwage;
    QLabel *Label4;
    QTextEdit *comments;
    QPushButton *Command1;
    QPushButton *Command2;

private:
    void newwage_Change();
    void Command1_Click();
    void Command2_Click();
    // The comment as the employee list keeps notes: lines end in CR LF.
    QString commentText() const;
};

} // namespace horalink
