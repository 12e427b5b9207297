#pragma once

#include <QString>

namespace horalink {

// What the employee list keeps of a password: a salted, deliberately slow Argon2id hash in a
// text that names its own method and costs, so a stolen file gives no password away. An empty
// password stays empty, which means no password.
QString passwordHash(const QString &typed);

enum class PasswordCheck
{
    Wrong,
    Right,
    // Right, but the file still holds the password as typed, as older files do; the caller
    // stores its hash in its place.
    RightButStoredAsTyped,
};

// How every hash the program stores begins.
QString passwordHashPrefix();

// Checks a typed password against what the employee list holds for it.
PasswordCheck checkPassword(const QString &typed, const QString &stored);

} // namespace horalink
