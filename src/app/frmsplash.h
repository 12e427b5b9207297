#pragma once

#include "app/form.h"

namespace horalink {

// The splash picture, on screen exactly as long as the logon window takes to load.
class frmsplash : public Form
{
    Q_OBJECT

public:
    frmsplash();
    void Form_Load() override;
    void Form_Activate() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_started = false;
};

} // namespace horalink
