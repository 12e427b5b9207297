#include "libpq.h"

#include "db/dberror.h"

#include <QLibrary>

namespace horalink {

namespace {

QLibrary &library()
{
    // Never unloaded: connections may live until the program ends.
#ifdef Q_OS_WIN
    static QLibrary pqLibrary(QStringLiteral("libpq"));
#else
    static QLibrary pqLibrary(QStringLiteral("pq"), 5);
#endif
    return pqLibrary;
}

template <typename Function> void resolve(Function &function, const char *name)
{
    function = reinterpret_cast<Function>(library().resolve(name));
    if (!function)
        throw DbError(dberr::ServerUnreachable,
                      QStringLiteral("The PostgreSQL client library libpq could not be loaded: ") +
                          library().errorString());
}

LibPq load()
{
    LibPq loaded;
#define HORALINK_LIBPQ_RESOLVE(name) resolve(loaded.name, #name);
    HORALINK_LIBPQ_FUNCTIONS(HORALINK_LIBPQ_RESOLVE)
#undef HORALINK_LIBPQ_RESOLVE
    return loaded;
}

} // namespace

const LibPq &pq()
{
    // An initialisation that throws is tried again at the next call.
    static const LibPq loaded = load();
    return loaded;
}

} // namespace horalink
