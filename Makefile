# Debian set-up, build, run and test. The CMake files themselves are portable.
BUILD ?= build
RUN ?= run
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

PACKAGES = cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite libsqlite3-dev \
           libgl-dev libbenchmark-dev xvfb xauth cups cups-client cups-filters poppler-utils \
           fonts-dejavu-core
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: deps build run test bench clean

deps:
	@missing=$$(for p in $(PACKAGES); do \
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

# The program never creates Employee.mdb: a fresh one is put into the run folder only when
# none is there, and an existing one is never overwritten.
run: build
	mkdir -p $(RUN)
	[ -e $(RUN)/Employee.mdb ] || cp $(BUILD)/fresh/Employee.mdb $(RUN)/Employee.mdb
	cd $(RUN) && ../$(BUILD)/src/horalink

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600

bench: build
	$(BUILD)/bench/horalink_bench

clean:
	rm -rf $(BUILD)
