#pragma once

#include "db/roster.h"

#include <QString>

namespace horalink {

// Who is signed on, fixed when the sign-on succeeds (the password, if any, checked) and
// handed to the main window; nothing reads it back from a caption.
struct Session
{
    QString employee;
    // The wage as the employee list holds it, as text.
    QString wage;
    bool byPassword = false;

    // Only the manager, signed on with a password, reaches the management functions.
    bool manages() const { return byPassword && employee == ManagerName; }
};

} // namespace horalink
