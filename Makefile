# Two commands do everything on a fresh Debian machine:
#   make demo   the whole round trip on the bundled sample school
#   make test   every test
.PHONY: all deps build test demo asan clean

BUILD ?= build
JOBS ?= $(shell nproc)

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake --preset default -DBUILD_TESTING=ON >/dev/null

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

demo: build
	@scripts/demo $(BUILD)

clean:
	rm -rf build build-asan
