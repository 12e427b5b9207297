#pragma once

#include "app/form.h"

class QCheckBox;
class QGroupBox;

namespace horalink {

// The three program-wide switches. Its boxes hold their live state for the whole run; each
// click stores the switch and applies it to the main window at once.
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

private:
    // Stores the box's switch and returns whether it is on.
    bool store(QCheckBox *box, const QString &column);
};

} // namespace horalink
