#pragma once

#include "ui/form.h"

namespace horalink {

// The splash picture, on screen exactly as long as the logon window takes to load.
class frmsplash : public Form
{
    Q_OBJECT

public:
    frmsplash();
    void loaded() override;
    void activated() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_started = false;
};

} // namespace horalink
