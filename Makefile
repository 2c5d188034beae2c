# Velkarion: `make run` starts the program, `make test` builds and runs the tests.
# Both install the Debian packages they need first (listed in packages.txt).
# `make install PREFIX=...` puts the program in PREFIX/bin and its files in
# PREFIX/share/velkarion, where it finds them from its own path.

BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
# Seconds each fuzzing harness runs; FUZZERS picks some (default all).
FUZZ_SECONDS ?= 60
FUZZERS    ?=
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local
CMAKE_GEN  := -G Ninja
export CCACHE_DIR ?= $(CURDIR)/.ccache

.PHONY: run test asan bench bench-peers fuzz deps configure build program clean data install

deps:
	@bash tools/install-deps.sh

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# What `make run` needs: the program and the catalog builder, without the tests.
program: configure
	cmake --build $(BUILD) -j $(JOBS) --target velkarion catalog_builder

# The catalog databases are made once from public catalogs (cached in $(BUILD)/sources).
data: program
	bash tools/build-data.sh $(BUILD)/data $(BUILD)/tools/catalog_builder

run: data
	$(BUILD)/velkarion $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

install: data
	cmake --install $(BUILD) --prefix $(PREFIX)

asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVELKARION_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DVELKARION_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target velkarion_bench
	$(BENCH_BUILD)/velkarion_bench

# libFuzzer harnesses of fuzz/, built with clang (installed when missing) and each run for
# FUZZ_SECONDS; not part of the tests.
fuzz: deps
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZERS)

# The side-by-side timing with astronomy-engine (npm, cached under $(BENCH_BUILD)/peers);
# needs node and npm. Not part of the tests.
bench-peers: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DVELKARION_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target velkarion_peer_times
	bash bench/peers/run.sh $(BENCH_BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
