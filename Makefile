# 望站: `make run` starts the tool, `make test` runs every test; both set up what is missing.
BUILD ?= build
JOBS ?= 2
# How long `make fuzz` runs each fuzz target; `make test` runs each for 20 s.
FUZZ_SECONDS ?= 600

.PHONY: all setup build run test dist repro bench screenshots fuzz clean

all: build

setup:
	@scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@scripts/run.sh $(BUILD)

# One display for the whole run when there is none, and one place where 32-bit programs run (under
# qemu-user where the kernel refuses them), so the whole run shares one Wine server. Each test runs
# once: a failure is a fault to find.
CTEST = $(CURDIR)/scripts/i386.sh ctest --output-on-failure
test: build
	@cd $(BUILD) && if [ -n "$$DISPLAY" ]; then $(CTEST); \
	else xvfb-run -a -s "-screen 0 1280x1024x24" $(CTEST); fi

# The release zip for users: the 32-bit exe, help.chm and 说明.txt.
dist: build
	@mkdir -p dist && cp $(BUILD)/dist/*.zip dist/ && ls dist/*.zip

# Two builds of the committed tree in two folders must give the same exe and zip; takes a few minutes.
repro: setup
	@scripts/repro.sh

bench: build
	@scripts/bench.sh $(BUILD)

# Pictures of the tool's windows for the README and the help file, saved under docs/.
screenshots: build
	@scripts/screenshots.sh $(BUILD)

fuzz: build
	@scripts/fuzz.sh $(BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) dist
