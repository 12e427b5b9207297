#pragma once

#include "ui/form.h"

class QLineEdit;
class QPushButton;

namespace horalink {

// The task prompt at clock-in. It does not block the main window; the event is recorded only
// when OK is pressed.
class frmsub : public Form
{
    Q_OBJECT

public:
    frmsub();

    void loaded() override;
    void activated() override;

protected:
    void closeBoxClicked() override;

private:
    void okButtonClicked();

    QLineEdit *taskEdit;
    QPushButton *okButton;
};

} // namespace horalink
