# The commands of the README. Everything is built with CMake into build/.

BUILD       ?= build
BENCH_BUILD ?= build-release
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

# Debian packages the project needs to build, test and run.
PACKAGES := build-essential cmake python3 qt6-base-dev qt6-base-dev-tools libqt6test6 \
            libgl-dev fonts-dejavu-core desktop-file-utils strace clang-format

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test bench demo run sanitize fuzz format format-check stats clean

all: build

# Installs those of the Debian packages named in $(1) that are missing; nothing when all are there.
define install_missing
	@missing=""; \
	for p in $(1); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build format-check
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The editor on a copy of the bundled sample, with settings of its own: the user's are not touched.
DEMO := $(abspath $(BUILD))/demo
demo: build
	@mkdir -p "$(DEMO)/qta" "$(DEMO)/config/QTAEdit"
	cp examples/QTA.INI "$(DEMO)/qta/QTA.INI"
	printf '[Folders]\nQTA.INI=%s\n' "$(DEMO)/qta" > "$(DEMO)/config/QTAEdit/QTAEdit.conf"
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	    echo "No display found. To try the editor without one, run it under a virtual display:"; \
	    echo "  apt-get install xvfb && xvfb-run -a make demo"; \
	    exit 1; \
	fi
	XDG_CONFIG_HOME="$(DEMO)/config" $(BUILD)/bin/qta-config-editor

run: build
	$(BUILD)/bin/qta-config-editor

sanitize:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DQTA_SANITIZE=ON"

# libFuzzer on the INI layer and the loader for FUZZ_SECONDS. Its compiler and runtime are not among PACKAGES:
# only this target needs them. New inputs collect in $(FUZZ_BUILD)/corpus, crashing ones in $(FUZZ_BUILD)/crashes.
FUZZ_BUILD    ?= build-fuzz
FUZZ_SECONDS  ?= 120
FUZZ_PACKAGES := clang libclang-rt-14-dev
fuzz: deps
	$(call install_missing,$(FUZZ_PACKAGES))
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	      -DQTA_SANITIZE=ON -DQTA_FUZZ=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_ini
	@mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/crashes
	@status=0; \
	$(FUZZ_BUILD)/tests/fuzz_ini -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -dict=tests/fuzz/ini.dict \
	    -artifact_prefix=$(FUZZ_BUILD)/crashes/ $(FUZZ_BUILD)/corpus tests/fuzz/corpus \
	    > $(FUZZ_BUILD)/fuzz.log 2>&1 || status=$$?; \
	grep -E '^(#[0-9]+[[:space:]]+DONE|==[0-9]+==ERROR|fuzz_ini:|SUMMARY)' $(FUZZ_BUILD)/fuzz.log; \
	echo "Executions: $$(sed -n 's/^stat::number_of_executed_units: *//p' $(FUZZ_BUILD)/fuzz.log)"; \
	echo "Crashes: $$(ls $(FUZZ_BUILD)/crashes | wc -l) (in $(FUZZ_BUILD)/crashes; full log $(FUZZ_BUILD)/fuzz.log)"; \
	exit $$status

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DQTA_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target qta-bench
	$(BENCH_BUILD)/bin/qta-bench

# Non-blank lines of C++ in src/ and tests/, and the tests' share of the code's size.
stats:
	@src=$$(git ls-files src | grep -E '\.(cpp|h)$$' | xargs cat | grep -cv '^[[:space:]]*$$'); \
	tests=$$(git ls-files tests | grep -E '\.(cpp|h)$$' | xargs cat | grep -cv '^[[:space:]]*$$'); \
	echo "src   $$src non-blank lines"; \
	echo "tests $$tests non-blank lines"; \
	awk -v t=$$tests -v s=$$src 'BEGIN { printf "ratio %.1f %%\n", 100 * t / s }'

# The C++ sources as .clang-format lays them out: `make format` rewrites them, the check (part of `make test`)
# names every file that differs.
FORMATTED = git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'bench/*.h'

format: deps
	$(FORMATTED) | xargs clang-format -i

format-check: deps
	@unformatted=$$($(FORMATTED) | while read -r f; do clang-format "$$f" | cmp -s - "$$f" || echo "$$f"; done); \
	if [ -n "$$unformatted" ]; then \
	    echo "These files differ from .clang-format's layout (make format rewrites them):"; \
	    echo "$$unformatted" | sed 's/^/  /'; \
	    exit 1; \
	fi

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) build-asan $(FUZZ_BUILD)

include windows.mk
