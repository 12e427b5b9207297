#pragma once

#include "db/settings.h"
#include "ui/form.h"

class QCheckBox;

namespace horalink {

// The program-wide switches. Its boxes show the switches in force, as the main window hands
// them; each click stores the switch and applies it to the main window at once. Closed, it is
// only hidden.
class frmprop : public Form
{
    Q_OBJECT

public:
    frmprop();

    void loaded() override;
    void activated() override;
    // The boxes show these switches, those in force; setting them stores nothing.
    void showSwitches(const Switches &inForce);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void editsBoxToggled(bool on);
    void moneyBoxToggled(bool on);
    void subsBoxToggled(bool on);
    void signoffBoxToggled(bool on);
    void store(Switch which, bool on);

    QCheckBox *editsBox;
    QCheckBox *moneyBox;
    QCheckBox *subsBox;
    QCheckBox *signoffBox;
};

} // namespace horalink
