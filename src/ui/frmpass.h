#pragma once

#include "clock/session.h"
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
    // The signed-on user's own password is changed.
    void changeOwn(const Session &session);
    // The manager's panel is shown, for this employee.
    void changeFor(const QString &employee);
    // The employee whose password the manager's panel changes, as the Management tab now
    // shows it.
    void setEmployee(const QString &employee);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildEmployeePanel();
    void connectControls();
    void ownPasswordEditChanged();
    void employeePasswordEditChanged();
    void employeePanelPainted();
    void ownOkButtonClicked();
    void cancelButtonClicked();
    void employeeOkButtonClicked();
    // Stores the password in the employee list's first row of the name and closes the window.
    void changePassword(const QString &name, const QString &password);

    QString m_own;
    QString m_employee;
    QLineEdit *ownPasswordEdit;
    QPushButton *ownOkButton;
    QPushButton *cancelButton;
    // The manager's panel for the employee shown in the Management tab.
    QWidget *employeePanel;
    QLineEdit *employeePasswordEdit;
    QPushButton *employeeOkButton;
};

} // namespace horalink
