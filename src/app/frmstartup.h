#pragma once

#include "app/form.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace horalink {

// The first start of a fresh database: asks once for the company's name, stores it and ends
// the program.
class frmstartup : public Form
{
    Q_OBJECT

public:
    frmstartup();

    void Form_Load() override;
    void Form_Activate() override;

    QLabel *Label1;
    QGroupBox *Frame1;
    QLineEdit *Companyname;
    QPushButton *Command1;

protected:
    void Form_Unload() override;
    void showEvent(QShowEvent *event) override;

private:
    void Command1_Click();
};

} // namespace horalink
