# Starts or stops the suite's private PostgreSQL server: a cluster of its own in DIR, reached
# only through a Unix socket in that folder, never through the network. The server refuses to
# run as root, so a root run hands it to the account "nobody".
#   cmake -DACTION=start|stop -DDIR=... -DBINDIR=... -P pgserver.cmake
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
set(as_server)
if(uid STREQUAL "0")
    find_program(RUNUSER runuser REQUIRED)
    set(as_server ${RUNUSER} -u nobody --)
endif()

function(run)
    execute_process(COMMAND ${as_server} ${ARGN} RESULT_VARIABLE failed
                    OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(failed)
        message(FATAL_ERROR "${ARGN} failed:\n${output}")
    endif()
endfunction()

function(stop_server)
    if(EXISTS "${DIR}/data/postmaster.pid")
        execute_process(COMMAND ${as_server} "${BINDIR}/pg_ctl" -D "${DIR}/data" -m immediate -w
                                stop OUTPUT_QUIET ERROR_QUIET)
    endif()
    file(REMOVE_RECURSE "${DIR}")
endfunction()

if(ACTION STREQUAL "stop")
    stop_server()
    return()
endif()

# What a run that was stopped short left behind goes first.
stop_server()
file(MAKE_DIRECTORY "${DIR}")
if(as_server)
    execute_process(COMMAND chown nobody "${DIR}")
endif()
run("${BINDIR}/initdb" -D "${DIR}/data" -U horalink --auth=trust -E UTF8 --locale=C --no-sync)
# The suite's own account needs no password; every other account gives its own, which the
# server checks, as the accounts of the time clocks and of the Manager do on a real server.
file(WRITE "${DIR}/data/pg_hba.conf" "local all horalink trust\nlocal all all scram-sha-256\n")
run("${BINDIR}/pg_ctl" -D "${DIR}/data" -l "${DIR}/server.log" -w
    -o "-k ${DIR} -c listen_addresses='' -c fsync=off -c max_connections=40" start)
