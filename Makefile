# 望站: `make run` starts the tool, `make test` runs every test; both set up what is missing.
BUILD ?= build
JOBS ?= 2

.PHONY: all setup build run test bench screenshots clean

all: build

setup:
	@scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@scripts/run.sh $(BUILD)

# One display for the whole run when there is none.
test: build
	@cd $(BUILD) && if [ -n "$$DISPLAY" ]; then ctest --output-on-failure; \
	else xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure; fi

bench: build
	@scripts/bench.sh $(BUILD)

# Pictures of the tool's windows for the README and the help file, saved under docs/.
screenshots: build
	@scripts/screenshots.sh $(BUILD)

clean:
	rm -rf $(BUILD)
