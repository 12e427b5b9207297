#pragma once

#include "ui/form.h"

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

    void loaded() override;

    QGroupBox *ownFrame;
    QLineEdit *ownPasswordEdit;
    QPushButton *ownOkButton;
    QPushButton *cancelButton;
    // The manager's panel for the employee shown in the Management tab.
    QWidget *employeePanel;
    QGroupBox *employeeFrame;
    QLineEdit *employeePasswordEdit;
    QPushButton *employeeOkButton;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void ownPasswordEditChanged();
    void employeePasswordEditChanged();
    void employeePanelPainted();
    void ownOkButtonClicked();
    void cancelButtonClicked();
    void employeeOkButtonClicked();
    // Stores the password in the employee list's first row of the name and closes the window.
    void changePassword(const QString &name, const QString &password);
};

} // namespace horalink
