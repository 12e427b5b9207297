#pragma once

#include "app/form.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace horalink {

// The task prompt at clock-in. It does not block the main window; the event is recorded
// only when OK is pressed.
class frmsub : public Form
{
    Q_OBJECT

public:
    frmsub();

    void Form_Load() override;
    void Form_Activate() override;

    QGroupBox *Frame1;
    QLineEdit *activity;
    QPushButton *Command1;

protected:
    void Form_Unload() override;

private:
    void Command1_Click();
};

} // namespace horalink
