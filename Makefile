# Debian set-up, build, run and test. The CMake files themselves are portable.
BUILD ?= build
RUN ?= run
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

# postgresql brings initdb and pg_ctl for the private server the suite runs a second time on;
# qt6-translations-l10n, Qt's own texts in the system's language.
PACKAGES = cmake ninja-build g++ qt6-base-dev libsqlite3-dev libsodium-dev libpq-dev postgresql \
           libgl-dev libbenchmark-dev xvfb xauth cups cups-client cups-filters poppler-utils \
           fonts-dejavu-core dpkg-dev lintian desktop-file-utils appstream qt6-translations-l10n
FUZZ_PACKAGES = clang libclang-rt-dev
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = datetime numbers hours identifiers names
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: deps build run test test-sanitize fuzz bench screenshots package windows test-windows clean

deps:
	@missing=$$(for p in $(PACKAGES) $(EXTRA_PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)
	cmake --build $(BUILD)

# The program gives the data folder a fresh Employee.mdb when there is none, and never replaces
# an existing one.
run: build
	HORALINK_DATA=$(RUN) $(BUILD)/src/ui/horalink

# The .deb for apt install, written into this folder; its dependencies are read off the
# libraries the program links (dpkg-shlibdeps).
package: build
	rm -rf $(BUILD)/package
	cd $(BUILD) && cpack -G DEB -B package
	cp $(BUILD)/package/horalink_*.deb .

# ctest starts the private PostgreSQL server before the first test that needs it and stops it
# after the last, also when tests fail.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(BUILD)-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
	cmake --build $(BUILD)-sanitize
	cd $(BUILD)-sanitize && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	    UBSAN_OPTIONS=print_stacktrace=1 ctest -j2 --output-on-failure

# Each fuzz target runs for FUZZ_SECONDS from the seeds kept in tests/fuzz/corpus, with the
# words of tests/fuzz/<target>.dict where there is one. The names target runs again against a
# private PostgreSQL server, started for the run and stopped after it.
FUZZ_SERVER = /tmp/horalink-pg-fuzz
fuzz:
	$(MAKE) deps EXTRA_PACKAGES="$(FUZZ_PACKAGES)"
	cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHORALINK_FUZZ=ON \
	    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
	cmake --build $(BUILD)-fuzz
	for t in $(FUZZ_TARGETS); do \
	    dict=; [ -f tests/fuzz/$$t.dict ] && dict=-dict=tests/fuzz/$$t.dict; \
	    mkdir -p $(BUILD)-fuzz/corpus/$$t && \
	    $(BUILD)-fuzz/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        $$dict $(BUILD)-fuzz/corpus/$$t tests/fuzz/corpus/$$t || exit 1; \
	done
	cmake -DACTION=start -DDIR=$(FUZZ_SERVER) -DBINDIR=$(PG_BINDIR) -P tests/support/pgserver.cmake
	mkdir -p $(BUILD)-fuzz/corpus/names_server
	HORALINK_TEST_SERVER="host=$(FUZZ_SERVER) dbname=postgres user=horalink" \
	    $(BUILD)-fuzz/tests/fuzz/fuzz_names -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        -dict=tests/fuzz/names.dict $(BUILD)-fuzz/corpus/names_server tests/fuzz/corpus/names; \
	status=$$?; \
	cmake -DACTION=stop -DDIR=$(FUZZ_SERVER) -DBINDIR=$(PG_BINDIR) -P tests/support/pgserver.cmake; \
	exit $$status

# Every window, for both kinds of user and with the switches on and off, and a time card; again
# at 1.5 times the size and in German. It fails when a text is cut off anywhere.
screenshots: build
	rm -rf screenshots && mkdir -p screenshots
	xvfb-run -a $(BUILD)/tests/look/screenshots screenshots
	QT_SCALE_FACTOR=1.5 xvfb-run -a $(BUILD)/tests/look/screenshots screenshots/1.5x
	xvfb-run -a $(BUILD)/tests/look/screenshots screenshots/de de_DE
	for card in screenshots/*.pdf screenshots/1.5x/*.pdf screenshots/de/*.pdf; do \
	    pdftoppm -png -r 80 $$card $${card%.pdf} || exit 1; \
	done

# The server's figures come from a private PostgreSQL server, started for the run and stopped
# after it; the round trips of each action are counted on it through a proxy that delays them.
PG_BINDIR := $(shell pg_config --bindir 2>/dev/null)
BENCH_SERVER = /tmp/horalink-pg-bench
bench: build
	cmake -DACTION=start -DDIR=$(BENCH_SERVER) -DBINDIR=$(PG_BINDIR) -P tests/support/pgserver.cmake
	export HORALINK_BENCH_SERVER="host=$(BENCH_SERVER) dbname=postgres user=horalink"; \
	    $(BUILD)/bench/horalink_bench && $(BUILD)/bench/horalink_roundtrips; status=$$?; \
	cmake -DACTION=stop -DDIR=$(BENCH_SERVER) -DBINDIR=$(PG_BINDIR) -P tests/support/pgserver.cmake; \
	exit $$status

# The Windows build: cross-built here with Debian's mingw-w64 compiler, tested under Wine, packed
# as Horalink-<version>-win64.exe (NSIS). Qt, SQLite and libsodium for Windows are cross-built
# from Debian's source packages once, into a cache folder outside the checkout; a Qt built so
# before (QT_WINDOWS_TARBALL) is used when it matches the host's Qt tools.
WINDOWS_BUILD ?= build-windows
WINDOWS_CACHE ?= $(HOME)/.cache/horalink-windows
QT_WINDOWS_TARBALL ?= ../shared/windows/qt-6.4.2+dfsg-10-mingw-w64.tar.xz
WINDOWS_PACKAGES = g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools wine \
                   wine64 nsis autoconf automake libtool qt6-base-dev-tools
WINDOWS_CACHE_PATH = $(abspath $(WINDOWS_CACHE))
WINE = packaging/windows/wine-run $(WINDOWS_CACHE_PATH)

windows:
	$(MAKE) deps EXTRA_PACKAGES="$(WINDOWS_PACKAGES)"
	packaging/windows/deps.sh $(WINDOWS_CACHE_PATH) $(QT_WINDOWS_TARBALL)
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/packaging/windows/toolchain.cmake \
	    -DHORALINK_WINDOWS_CACHE=$(WINDOWS_CACHE_PATH) -DQT_HOST_PATH=/usr \
	    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake $(WINDOWS_CMAKE_FLAGS)
	cmake --build $(WINDOWS_BUILD)
	rm -rf $(WINDOWS_BUILD)/package
	cd $(WINDOWS_BUILD) && cpack -B package
	cp $(WINDOWS_BUILD)/package/Horalink-*-win64.exe .

# Every test program under Wine, on the file: the suite's server leg needs libpq for Windows,
# which Debian does not build, so the Windows build registers no *_server test. Then the
# installer is run silently and the installed program started once, on a screen of its own, and
# its logon window is kept as horalink-windows.png, also when a test failed. The Wine server is
# kept running for the tests, so that each does not start one of its own. Now and then a test
# program under Wine has printed its totals and still does not end, which ctest tells as a time
# out: a test that fails is run up to twice more, and one that fails three times fails the run.
test-windows: windows
	WINEPREFIX=$(WINDOWS_CACHE_PATH)/wine wineserver -p
	cd $(WINDOWS_BUILD) && ctest -j2 --output-on-failure --repeat until-pass:3; status=$$?; \
	    WINEPREFIX=$(WINDOWS_CACHE_PATH)/wine wineserver -k; \
	    cd $(CURDIR) && packaging/windows/try-installer $(WINDOWS_CACHE_PATH) $(WINDOWS_BUILD) \
	        Horalink-*-win64.exe horalink-windows.png && exit $$status

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD)
