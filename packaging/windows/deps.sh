#!/bin/sh
# Prepares what the Windows build links, once, in a cache folder outside the checkout: Qt for
# Windows, SQLite and libsodium, all from Debian's own source packages and cross-built with
# Debian's mingw-w64 compiler, and libpq's headers (the program loads libpq.dll when it meets
# a server). Each part that is in the cache already is kept as it is.
#
#   deps.sh CACHE [QT_TARBALL]
#
# QT_TARBALL is a Qt built this way before; it is used only when its checksum and the host's Qt
# tools (which must be exactly the version it was built from) match, and Qt is built otherwise.
set -eu

cache=$(realpath -m "$1")
tarball=${2:-}
here=$(dirname "$(readlink -f "$0")")
triple=x86_64-w64-mingw32
jobs=${JOBS:-2}
qt_tarball_sha256=a322b74875b60c23b933f0974854d11532ec717548a07db4c3f6cf2d1f96d928
qt_tarball_version=6.4.2+dfsg-10
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
suite=${DEBIAN_SUITE:-bookworm}

host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev)
mkdir -p "$cache"

step() {
    printf '%s %s\n' "$(date -u +%H:%M:%S)" "$*"
}

# Source packages come through an apt configuration of the cache's own, so the system's
# sources stay as they are.
fetch_source() {
    apt_dir=$cache/apt
    if [ ! -d "$apt_dir/lists/partial" ]; then
        mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts"
        printf 'deb-src %s %s main\n' "$mirror" "$suite" >"$apt_dir/sources.list"
        apt-get -q -o Dir::Etc::SourceList="$apt_dir/sources.list" \
            -o Dir::Etc::SourceParts="$apt_dir/parts" -o Dir::State::Lists="$apt_dir/lists" \
            update
    fi
    rm -rf "$cache/src/$1"
    mkdir -p "$cache/src/$1"
    (cd "$cache/src/$1" &&
        apt-get -q -o Dir::Etc::SourceList="$apt_dir/sources.list" \
            -o Dir::Etc::SourceParts="$apt_dir/parts" -o Dir::State::Lists="$apt_dir/lists" \
            source --download-only "$2" &&
        dpkg-source -x ./*.dsc tree)
}

build_qt() {
    fetch_source qt6 "qt6-base=$host_qt"
    tree=$cache/src/qt6/tree
    # 6.4.2 still reaches for the DirectWrite engine in two places when Direct2D is off.
    sed -i 's/^#if QT_CONFIG(directwrite)$/#if QT_CONFIG(directwrite) \&\& QT_CONFIG(direct2d)/' \
        "$tree/src/printsupport/platform/windows/qprintengine_win.cpp"
    sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
        "$tree/src/plugins/platforms/windows/qwindowsintegration.cpp"
    mkdir -p "$cache/src/qt6/build"
    # The tarball leaves out the Windows tablet headers (tabletevent); the offscreen platform is
    # built only with FreeType.
    (cd "$cache/src/qt6/build" &&
        "$tree/configure" -prefix "$cache/qt-mingw" -qt-host-path /usr -release -shared \
            -nomake examples -nomake tests -no-dbus -no-opengl -no-icu -no-zstd -no-pkg-config \
            -qt-zlib -qt-pcre -qt-freetype -qt-harfbuzz -qt-libpng -qt-libjpeg \
            -no-feature-sql -no-feature-xml -no-feature-concurrent -no-feature-tabletevent \
            -no-feature-direct2d -no-feature-vulkan -- -G Ninja \
            "-DCMAKE_TOOLCHAIN_FILE=$here/toolchain.cmake" "-DHORALINK_WINDOWS_CACHE=$cache" \
            -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake &&
        nice ninja -j"$jobs" && cmake --install .)
    rm -rf "$cache/src/qt6"
}

provide_qt() {
    if [ "$(cat "$cache/qt-mingw.version" 2>/dev/null)" = "$host_qt" ]; then
        step "Qt for Windows $host_qt: in the cache"
        return
    fi
    rm -rf "$cache/qt-mingw" "$cache/qt-mingw.version"
    if [ -n "$tarball" ] && [ -f "$tarball" ] && [ "$host_qt" = "$qt_tarball_version" ] &&
        echo "$qt_tarball_sha256  $tarball" | sha256sum -c --status; then
        step "Qt for Windows $host_qt: unpacking $tarball"
        tar -xJf "$tarball" -C "$cache"
    else
        step "Qt for Windows $host_qt: building it from Debian's source package"
        build_qt
    fi
    echo "$host_qt" >"$cache/qt-mingw.version"
}

# The amalgamation is linked into the programs, as a static library.
provide_sqlite() {
    if [ -f "$cache/deps/lib/libsqlite3.a" ]; then
        step "SQLite for Windows: in the cache"
        return
    fi
    step "SQLite for Windows: building it from Debian's source package"
    fetch_source sqlite3 sqlite3
    (cd "$cache/src/sqlite3/tree" && ./configure -q && make -s sqlite3.c &&
        nice $triple-gcc-posix -O2 -c sqlite3.c -o sqlite3.o &&
        $triple-ar rcs libsqlite3.a sqlite3.o &&
        install -D -m 644 sqlite3.h "$cache/deps/include/sqlite3.h" &&
        install -D -m 644 libsqlite3.a "$cache/deps/lib/libsqlite3.a")
    rm -rf "$cache/src/sqlite3"
}

provide_sodium() {
    if [ -f "$cache/deps/lib/libsodium.dll.a" ]; then
        step "libsodium for Windows: in the cache"
        return
    fi
    step "libsodium for Windows: building it from Debian's source package"
    fetch_source libsodium libsodium
    # Debian's tarball has no configure script.
    (cd "$cache/src/libsodium/tree" && autoreconf -i -f >/dev/null 2>&1 &&
        ./configure -q --host=$triple --prefix="$cache/deps" --disable-static \
            CC=$triple-gcc-posix &&
        nice make -s -j"$jobs" && make -s install)
    rm -rf "$cache/src/libsodium"
}

# The program includes libpq-fe.h for its types only. The host's headers serve, with the 64-bit
# integer that is "long" on Linux and "long long" on Windows.
provide_libpq_headers() {
    dir=$cache/deps/include/postgresql
    if [ -f "$dir/libpq-fe.h" ]; then
        return
    fi
    mkdir -p "$dir"
    cp /usr/include/postgresql/libpq-fe.h /usr/include/postgresql/postgres_ext.h "$dir/"
    sed 's/^#define PG_INT64_TYPE .*/#define PG_INT64_TYPE long long int/' \
        /usr/include/postgresql/pg_config_ext.h >"$dir/pg_config_ext.h"
}

provide_qt
provide_sqlite
provide_sodium
provide_libpq_headers
step "The Windows libraries are in $cache"
