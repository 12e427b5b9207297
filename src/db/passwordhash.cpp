#include "passwordhash.h"

#include "db/dberror.h"

#include <sodium.h>

namespace horalink {

namespace {

// The least cost recommended for Argon2id today: two passes over 19 MiB.
constexpr unsigned long long Passes = 2;
constexpr size_t Memory = 19 * 1024 * 1024;

bool isHash(const QString &stored)
{
    return stored.startsWith(passwordHashPrefix());
}

void requireSodium()
{
    if (sodium_init() < 0)
        throw DbError(dberr::OutOfMemory, QStringLiteral("The password library could not start."));
}

} // namespace

QString passwordHashPrefix()
{
    return QStringLiteral(crypto_pwhash_argon2id_STRPREFIX);
}

QString passwordHash(const QString &typed)
{
    if (typed.isEmpty())
        return {};
    requireSodium();
    const QByteArray password = typed.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.constData(), size_t(password.size()), Passes, Memory) != 0)
        throw DbError(dberr::OutOfMemory,
                      QStringLiteral("Out of memory while protecting a password."));
    return QString::fromLatin1(hash);
}

PasswordCheck checkPassword(const QString &typed, const QString &stored)
{
    if (!isHash(stored))
        return typed == stored ? PasswordCheck::RightButStoredAsTyped : PasswordCheck::Wrong;
    requireSodium();
    const QByteArray password = typed.toUtf8();
    const QByteArray hash = stored.toLatin1();
    return crypto_pwhash_str_verify(hash.constData(), password.constData(),
                                    size_t(password.size())) == 0
               ? PasswordCheck::Right
               : PasswordCheck::Wrong;
}

} // namespace horalink
