#pragma once

#include <libpq-fe.h>

namespace horalink {

// The functions of libpq that the server connection calls.
#define HORALINK_LIBPQ_FUNCTIONS(X)                                                                \
    X(PQclear)                                                                                     \
    X(PQcmdStatus)                                                                                 \
    X(PQcmdTuples)                                                                                 \
    X(PQconnectdbParams)                                                                           \
    X(PQconnectionUsedPassword)                                                                    \
    X(PQdb)                                                                                        \
    X(PQenterPipelineMode)                                                                         \
    X(PQencryptPasswordConn)                                                                       \
    X(PQerrorMessage)                                                                              \
    X(PQexec)                                                                                      \
    X(PQexecParams)                                                                                \
    X(PQexitPipelineMode)                                                                          \
    X(PQfinish)                                                                                    \
    X(PQfname)                                                                                     \
    X(PQfreemem)                                                                                   \
    X(PQftype)                                                                                     \
    X(PQgetResult)                                                                                 \
    X(PQgetisnull)                                                                                 \
    X(PQgetlength)                                                                                 \
    X(PQgetvalue)                                                                                  \
    X(PQhost)                                                                                      \
    X(PQnfields)                                                                                   \
    X(PQnparams)                                                                                   \
    X(PQntuples)                                                                                   \
    X(PQparamtype)                                                                                 \
    X(PQpipelineSync)                                                                              \
    X(PQreset)                                                                                     \
    X(PQresultErrorField)                                                                          \
    X(PQresultErrorMessage)                                                                        \
    X(PQresultStatus)                                                                              \
    X(PQsendDescribePrepared)                                                                      \
    X(PQsendPrepare)                                                                               \
    X(PQsendQueryParams)                                                                           \
    X(PQsendQueryPrepared)                                                                         \
    X(PQstatus)                                                                                    \
    X(PQtransactionStatus)                                                                         \
    X(PQuser)

// libpq, loaded when the first server connection is opened rather than with the program: it
// brings a TLS, Kerberos and LDAP stack whose loading would cost every start of a clock on
// the file a fifth of its time to the logon window.
struct LibPq
{
#define HORALINK_LIBPQ_MEMBER(name) decltype(&::name) name;
    HORALINK_LIBPQ_FUNCTIONS(HORALINK_LIBPQ_MEMBER)
#undef HORALINK_LIBPQ_MEMBER
};

// The loaded library. The first call loads it, and throws a DbError saying why when it
// cannot; a later call tries again.
const LibPq &pq();

} // namespace horalink
