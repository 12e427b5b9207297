# Cross-builds for 64-bit Windows with Debian's mingw-w64 compiler (POSIX threads, which Qt's
# std::thread and std::mutex need). HORALINK_WINDOWS_CACHE is the folder deps.sh fills with Qt,
# SQLite and libsodium for Windows; libraries, headers and packages are found there and in the
# compiler's own tree only, programs (moc, rcc, the host's Qt tools) on the host.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HORALINK_WINDOWS_CACHE)
set(windows_trees /usr/${triple})
if(HORALINK_WINDOWS_CACHE)
    list(APPEND windows_trees ${HORALINK_WINDOWS_CACHE}/qt-mingw ${HORALINK_WINDOWS_CACHE}/deps)
endif()
list(APPEND CMAKE_FIND_ROOT_PATH ${windows_trees})
list(APPEND CMAKE_PREFIX_PATH ${windows_trees})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here that the build runs (the fresh database's maker, the tests) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${HORALINK_WINDOWS_CACHE})
