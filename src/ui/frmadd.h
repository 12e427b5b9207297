#pragma once

#include "ui/form.h"

class QLayout;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace horalink {

struct AddResult;

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
    QWidget *buildEmployeeFrame();
    QLayout *buildButtons();
    // Says why the employee was not added.
    void refuse(const AddResult &result);
    void wageEditChanged();
    void okButtonClicked();
    void cancelButtonClicked();
    // The comment as the employee list keeps notes: lines end in CR LF.
    QString commentText() const;

    QLineEdit *nameEdit;
    QLineEdit *passwordEdit;
    QLineEdit *wageEdit;
    QTextEdit *commentsEdit;
    QPushButton *okButton;
    QPushButton *cancelButton;
};

} // namespace horalink
