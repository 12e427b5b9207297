#pragma once

#include "app/form.h"

namespace horalink {

// Adds an employee: a row in the employee list and an empty time log of the same name.
class frmadd : public Form
{
    Q_OBJECT

public:
    frmadd();
};

} // namespace horalink
