#pragma once

#include "ui/form.h"

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

    void loaded() override;
    void activated() override;

private:
    void wageEditChanged();
    void okButtonClicked();
    void cancelButtonClicked();
    // The comment as the employee list keeps notes: lines end in CR LF.
    QString commentText() const;

    QGroupBox *employeeFrame;
    QLabel *nameCaption;
    QLineEdit *nameEdit;
    QLabel *passwordCaption;
    QLineEdit *passwordEdit;
    QLabel *wageCaption;
    QLineEdit *wageEdit;
    QLabel *commentsCaption;
    QTextEdit *commentsEdit;
    QPushButton *okButton;
    QPushButton *cancelButton;
};

} // namespace horalink
