# strikk: the two everyday commands are `make run` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run loop test clean

all: build

# Debian packages that are missing (needs root or sudo)
deps:
	@scripts/deps.sh

# the program, the media tool, data.wee and patches.dat
build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# plays the show once, on this machine's display and sound card or on stand-ins
run: build
	@cd $(BUILD) && ../scripts/headless.sh ./strikk

# plays the show forever (one argument); stop it with Ctrl-C
loop: build
	@cd $(BUILD) && ../scripts/headless.sh ./strikk loop

# every test, on a private Xvfb and ALSA file sink
test: build
	@scripts/headless.sh --force --out $(BUILD)/headless-test ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
