#pragma once

#include "app/form.h"
#include "db/settings.h"

class QCheckBox;
class QGroupBox;

namespace horalink {

// The three program-wide switches. Its boxes show the switches in force; each click stores
// the switch and applies it to the main window at once.
class frmprop : public Form
{
    Q_OBJECT

public:
    frmprop();

    void Form_Load() override;
    void Form_Activate() override;

    void edits_Click();
    void money_Click();
    void subs_Click();

    QGroupBox *Frame1;
    QCheckBox *edits;
    QCheckBox *money;
    QCheckBox *subs;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void store(Switch which, bool on);
};

} // namespace horalink
