#pragma once

#include "app/form.h"

namespace horalink {

// Changes a password: the signed-on user's own, or, from the Management tab, anyone's.
class frmpass : public Form
{
    Q_OBJECT

public:
    frmpass();
};

} // namespace horalink
