# The two commands a newcomer runs: `make run` and `make test`.
# Both install what is missing (tools/setup.sh), configure and build.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
# The fuzz targets need clang; they get a folder of their own so the two
# gcc builds above are never reconfigured for another compiler.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: setup build build-asan run test check fuzz bench package format clean

setup:
	@bash tools/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

build-asan: setup
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKINEMORPH_SANITIZE=ON -DKINEMORPH_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)

# Starts Kinemorph from the repository root (it reads resources/ from there).
run: build
	@bash tools/run.sh $(BUILD)/kinemorph

# The whole suite: a minute of fuzzing per file reader in its own clang
# build, then every CTest suite of the normal build and of the same tests
# built with AddressSanitizer and UndefinedBehaviorSanitizer, so the run
# ends with CTest's summary. Every part runs even when an earlier one
# failed; the target fails when any did.
test: build build-asan
	@status=0; FUZZ_BUILD=$(FUZZ_BUILD) bash tools/fuzz.sh $(FUZZ_SECONDS) || status=1; \
	bash tools/test.sh $(BUILD) $(ASAN_BUILD) || status=1; \
	exit $$status

# Quicker loop while developing: the normal build's tests only.
check: build
	@bash tools/test.sh $(BUILD)

fuzz: setup
	@FUZZ_BUILD=$(FUZZ_BUILD) bash tools/fuzz.sh $(FUZZ_SECONDS)

bench: setup
	@bash tools/bench.sh

# The Debian package, $(BUILD)/kinemorph_<version>_amd64.deb (installs to
# /usr; `sudo apt install ./$(BUILD)/kinemorph_*.deb`).
package: build
	@cd $(BUILD) && cpack -G DEB

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) build-bench
