# Front door for the CMake build: `make test` and `make run` work on a fresh machine.
# Each configuration builds into its own folder under build/.

SHELL := /bin/bash
CMAKE := cmake
GENERATOR := -G Ninja
PROGRAM_ARGS ?=
# Paths relative to the checkout, so that ccache serves one clone's objects to another.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: all bootstrap format build build-ue5 test test-ue5 test-asan test-tsan test-sanitizers run bench fuzz fuzz-long soak package clean

all: build

bootstrap:
	@Scripts/bootstrap.sh

# build/<name>: one configured tree per flavour; configure only when the tree is new.
build/%/build.ninja: | bootstrap
	@$(CMAKE) -S . -B build/$* $(GENERATOR) $(CONFIGURE_$*) > build-$*.configure.log || { cat build-$*.configure.log; exit 1; }
	@rm -f build-$*.configure.log

CONFIGURE_default := -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The plug-in, the stand-in in its 5.x mode and the plug-in's tests, named UE5.*: no host, no browser. Built with
# clang, as the 5.x editor on Linux is, whose MinimalAPI exports need it.
CONFIGURE_ue5 := -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVIDA_ENGINE_VERSION=5.4 -DORVIDA_BUILD_PROGRAMS=OFF
CONFIGURE_asan := -DCMAKE_BUILD_TYPE=Debug -DORVIDA_SANITIZE=address -DORVIDA_BUILD_PROGRAMS=OFF
CONFIGURE_tsan := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVIDA_SANITIZE=thread -DORVIDA_BUILD_PROGRAMS=ON
CONFIGURE_bench := -DCMAKE_BUILD_TYPE=Release -DORVIDA_BUILD_TESTS=OFF -DORVIDA_BUILD_PROGRAMS=ON -DORVIDA_BUILD_BENCHMARKS=ON
CONFIGURE_fuzz := -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVIDA_SANITIZE=address \
	-DORVIDA_BUILD_TESTS=OFF -DORVIDA_BUILD_PROGRAMS=OFF -DORVIDA_BUILD_FUZZ=ON
FUZZ_SECONDS ?= 60

# Lays out every C++ file as .clang-format says; `make test` fails on a file that is not.
format: bootstrap
	@Scripts/format.sh

# bootstrap first each time: it is quick when nothing is missing, and a changed npm lock file is then installed.
build: bootstrap build/default/build.ninja
	@$(CMAKE) --build build/default

# The plug-in's tests run twice: against the 4.27 stand-in with everything else, then against the 5.x one.
test: build build-ue5
	@ctest --test-dir build/default --output-on-failure --timeout 300
	@ctest --test-dir build/ue5 --output-on-failure --timeout 300

build-ue5: bootstrap build/ue5/build.ninja
	@$(CMAKE) --build build/ue5

test-ue5: build-ue5
	@ctest --test-dir build/ue5 --output-on-failure --timeout 300

test-asan: build/asan/build.ninja
	@$(CMAKE) --build build/asan
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --test-dir build/asan --output-on-failure --timeout 600

test-tsan: build/tsan/build.ninja
	@$(CMAKE) --build build/tsan
	@TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --test-dir build/tsan --output-on-failure --timeout 600

test-sanitizers: test-asan test-tsan

# Without PROGRAM_ARGS: the host on the settings' endpoint with all three creation-panel options, its demo
# stream and the browser UI on 127.0.0.1:8090, in a project folder of its own, so that its settings and takes stay out of the checkout. With
# PROGRAM_ARGS: the host with those arguments alone, in the current folder.
RUN_PROJECT := build/run-project
HOST := build/default/bin/orvida-livelink

run: build
	@if [ -n "$(PROGRAM_ARGS)" ]; then exec $(HOST) $(PROGRAM_ARGS); fi; \
	mkdir -p $(RUN_PROJECT); \
	port=$$($(HOST) settings get NetworkPortIdByDefault --project $(RUN_PROJECT)); \
	address=$$(hostname -I 2>/dev/null | cut -d' ' -f1); \
	echo "A demo orbit streams into port $$port. To stream from a camera application instead, point it at"; \
	echo "$${address:-ADDRESS}:$$port and run: make run PROGRAM_ARGS=\"--project $(RUN_PROJECT) --console --lens --take --record --take-panel\""; \
	echo "Takes go to $(RUN_PROJECT)/Saved/Takes. Ctrl-C stops."; \
	exec $(HOST) --project $(RUN_PROJECT) --demo --console --lens --take --record --take-panel --http

bench: build/bench/build.ninja
	@$(CMAKE) --build build/bench
	@for program in build/bench/bin/*Benchmark; do echo "== $$program"; $$program; done

# New inputs the fuzzer finds go to build/fuzz/corpus; the seeds in Fuzz/Corpus stay as they are. The dictionary
# holds the message's keys and JSON's tokens, which random mutation would take long to spell. The dictionary
# libFuzzer recommends at the end is left out of the output: dozens of lines that would push the totals out.
fuzz: build/fuzz/build.ninja
	@$(CMAKE) --build build/fuzz
	@mkdir -p build/fuzz/corpus
	@build/fuzz/bin/CameraMessageFuzzer build/fuzz/corpus Fuzz/Corpus/CameraMessage -dict=Fuzz/CameraMessage.dict \
		-max_total_time=$(FUZZ_SECONDS) -max_len=65507 -print_final_stats=1 2>&1 \
		| grep -v -e '# Uses: ' -e 'ecommended dictionary' | tail -n 25; exit $${PIPESTATUS[0]}

# An hour of fuzzing, for a change to the decoder or the JSON reader; not in CI.
fuzz-long:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=3600

# About ten minutes, not in CI: the churn and stream-fault tests at SOAK_SCALE times their counts, repeated, then
# the host under an impaired orvida-send stream for SOAK_HOST_SECONDS, its console checked for contradictions.
SOAK_SCALE ?= 20
SOAK_REPEAT ?= 5
SOAK_HOST_SECONDS ?= 180
soak: build
	@set -o pipefail; ORVIDA_SOAK_SCALE=$(SOAK_SCALE) build/default/bin/OrvidaLiveLinkTests --gtest_repeat=$(SOAK_REPEAT) --gtest_break_on_failure \
		--gtest_filter='OrvidaSourceChurn.*:Faults/OrvidaStreamFaultTest.*' 2>&1 | grep -v '^LogTakeRecorder'
	@Tests/Soak/HostSoak.py build/default/bin/orvida-livelink build/default/bin/orvida-send $(SOAK_HOST_SECONDS)

# The plug-in folder as users drop it into a project's Plugins/, one archive per engine version:
# dist/OrvidaLiveLink-<version>-UE4.27.zip and -UE5.0.zip to -UE5.5.zip.
package: | bootstrap
	@python3 Scripts/package.py

clean:
	rm -rf build dist
