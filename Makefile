# strikk: the two everyday commands are `make run` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run loop test clean bench record

all: build

# Debian packages that are missing (needs root or sudo)
deps:
	@scripts/deps.sh

# the program, the media tool, data.wee and patches.dat
build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# plays the show once on this machine's display (stand-ins for a missing sound
# card); with no display it records the show into show.mp4 instead
run: build
	@if [ -n "$$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then \
	  cd $(BUILD) && ../scripts/headless.sh ./strikk; \
	else \
	  echo "no display: recording the show into show.mp4"; scripts/record.sh $(BUILD) show.mp4; \
	fi

# plays the show once on private stand-ins and records it into show.mp4
record: build
	@scripts/record.sh $(BUILD) show.mp4

# plays the show forever (one argument); stop it with Ctrl-C
loop: build
	@cd $(BUILD) && ../scripts/headless.sh ./strikk loop

# every test, on a private Xvfb and ALSA file sink
test: build
	@scripts/headless.sh --force --out $(BUILD)/headless-test ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)

# datafile robustness: mutants of data.wee, each through the real load path in
# a child process with a time limit; prints the counts
MUTATE_SOURCE ?= $(BUILD)/data.wee
MUTATE_COUNT  ?= 1200
.PHONY: mutate fuzz test-asan test-tsan
mutate: build
	@$(BUILD)/tests/datfile/mutate_datfile --datload $(BUILD)/tests/datfile/datload \
	  --work $(BUILD)/mutate --count $(MUTATE_COUNT) $(MUTATE_SOURCE)

# libFuzzer (clang) on the check and the loader, FUZZ_SECONDS long
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 600
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRIKK_FUZZ=ON \
	  -DBUILD_TESTING=OFF -DSTRIKK_SANITIZE=address,undefined,fuzzer-no-link >/dev/null
	@cmake --build $(FUZZ_BUILD) --target fuzz_datfile make_seeds -j $(JOBS)
	@mkdir -p $(FUZZ_BUILD)/fuzz/seeds $(FUZZ_BUILD)/fuzz/corpus $(FUZZ_BUILD)/fuzz/artifacts
	@$(FUZZ_BUILD)/tools/fuzz/make_seeds $(FUZZ_BUILD)/fuzz/seeds
	@UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 $(FUZZ_BUILD)/tools/fuzz/fuzz_datfile \
	  -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -dict=tools/fuzz/datfile.dict \
	  -artifact_prefix=$(FUZZ_BUILD)/fuzz/artifacts/ $(FUZZ_BUILD)/fuzz/corpus $(FUZZ_BUILD)/fuzz/seeds

# every test under AddressSanitizer and UndefinedBehaviorSanitizer; leak checks
# off: the program holds its datafile and buffer until exit by design, and
# Allegro and ALSA keep allocations of their own until then
test-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRIKK_SANITIZE=address,undefined >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=0 \
	  scripts/headless.sh --force --out build-asan/headless-test ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# every test under ThreadSanitizer (the clock thread against the shake's reads
# of timer); the recorded end-to-end runs are left out: their recording and
# analysis outlast their time limit when built with TSan
test-tsan: deps
	@cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRIKK_SANITIZE=thread >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	@TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
	  scripts/headless.sh --force --out build-tsan/headless-test ctest --test-dir build-tsan --output-on-failure \
	  -j $(JOBS) -E '^e2e\.'

# plays the show under Xvfb at each depth in DEPTHS with the benchmark build and
# prints the figures; CYCLES repeat-mode cycles (10 take 7.5 minutes) for memory growth
DEPTHS ?= 24 16
CYCLES ?= 2
bench: build
	@bench/run.sh $(BUILD) "$(DEPTHS)" $(CYCLES)
