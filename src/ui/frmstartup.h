#pragma once

#include "ui/form.h"

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

    void loaded() override;
    void activated() override;

protected:
    void closeBoxClicked() override;
    void escapePressed() override;
    void showEvent(QShowEvent *event) override;

private:
    void okButtonClicked();

    QLabel *welcomeLabel;
    QGroupBox *companyFrame;
    QLineEdit *companyEdit;
    QPushButton *okButton;
};

} // namespace horalink
