# VELMORAN: `make run` starts the program, `make test` runs every test.
# Both install the Debian packages that are missing, configure and build first.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
PAQUETES := cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n \
            libsqlite3-dev libgtest-dev libgmock-dev libxlsxwriter-dev libzip-dev libshp-dev \
            libxcb1-dev fonts-dejavu-core xvfb xauth poppler-utils

.PHONY: deps build run test bench clean

deps:
	@faltan=$$(for p in $(PAQUETES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$faltan" ]; then \
	    echo "Instalando: $$faltan"; \
	    if [ "$$(id -u)" -eq 0 ]; then SUDO=; else SUDO=sudo; fi; \
	    $$SUDO apt-get update && \
	    DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y --no-install-recommends $$faltan; \
	fi

build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(BUILD_DIR)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD_DIR)/app/velmoran; \
	else \
	    $(BUILD_DIR)/app/velmoran; \
	fi

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j$$(nproc)

# N: care events the generator writes (default 100000), in the order a real
# year is captured, packages as the reception writes them (each table in one
# block), without statistics (BANCO="--ordenado" writes them in key order;
# "--desordenado" then rewrites every D_* table in a shuffled order, without
# statistics). BANCO: further options every benchmark program takes, e.g.
# BANCO="--estado 09 --ano 2026 --conserva build/app": the first program
# generates build/app/Datos/VELMORAN2609.db with N events of that year (the
# program itself opens on it) and every later one works on a copy of it.
# A database already at that place is measured as it stands, whatever N and
# the other options say. Without --conserva the run keeps its database in a
# temporary folder.
# The catalog and pick-list benchmarks keep their own sizes.
N ?= 100000
BANCO ?=
bench: build
	cmake --build $(BUILD_DIR) --target benchmarks
	@uptime
	@base=$$(mktemp -d); trap 'rm -rf "$$base"' EXIT; \
	case "$(BANCO)" in *--conserva*) base_opcion= ;; *) base_opcion="--conserva $$base" ;; esac; \
	for b in $(BUILD_DIR)/bench/velmoran_bench $(BUILD_DIR)/bench/velmoran_bench_*; do \
	    test -f $$b && test -x $$b || continue; \
	    echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b $(N) $(BANCO) $$base_opcion || exit 1; \
	done

# Removes only what the build wrote. The working databases, backups, packages
# and tables the program wrote into $(BUILD_DIR)/app stay.
clean:
	@if [ -f $(BUILD_DIR)/build.ninja ] || [ -f $(BUILD_DIR)/Makefile ]; then \
	    cmake --build $(BUILD_DIR) --target clean; \
	fi
