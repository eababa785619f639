# Front door for the CMake build: `make test` and `make run` work on a fresh machine.
# Each configuration builds into its own folder under build/.

CMAKE := cmake
GENERATOR := -G Ninja
PROGRAM_ARGS ?=

.PHONY: all bootstrap build test test-asan test-tsan test-sanitizers run bench clean

all: build

bootstrap:
	@Scripts/bootstrap.sh

# build/<name>: one configured tree per flavour; configure only when the tree is new.
build/%/build.ninja: | bootstrap
	@$(CMAKE) -S . -B build/$* $(GENERATOR) $(CONFIGURE_$*) > build-$*.configure.log || { cat build-$*.configure.log; exit 1; }
	@rm -f build-$*.configure.log

CONFIGURE_default := -DCMAKE_BUILD_TYPE=RelWithDebInfo
CONFIGURE_asan := -DCMAKE_BUILD_TYPE=Debug -DORVIDA_SANITIZE=address -DORVIDA_BUILD_PROGRAMS=OFF
CONFIGURE_tsan := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVIDA_SANITIZE=thread -DORVIDA_BUILD_PROGRAMS=OFF
CONFIGURE_bench := -DCMAKE_BUILD_TYPE=Release -DORVIDA_BUILD_TESTS=OFF -DORVIDA_BUILD_PROGRAMS=OFF -DORVIDA_BUILD_BENCHMARKS=ON

build: build/default/build.ninja
	@$(CMAKE) --build build/default

test: build
	@ctest --test-dir build/default --output-on-failure --timeout 300

test-asan: build/asan/build.ninja
	@$(CMAKE) --build build/asan
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --test-dir build/asan --output-on-failure --timeout 600

test-tsan: build/tsan/build.ninja
	@$(CMAKE) --build build/tsan
	@TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --test-dir build/tsan --output-on-failure --timeout 600

test-sanitizers: test-asan test-tsan

run: build
	@build/default/bin/orvida-livelink $(PROGRAM_ARGS)

bench: build/bench/build.ninja
	@$(CMAKE) --build build/bench
	@for program in build/bench/bin/*Benchmark; do echo "== $$program"; $$program; done

clean:
	rm -rf build
