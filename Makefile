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
	@$(MAKE) --no-print-directory fuzz-smoke

demo: build
	@scripts/demo $(BUILD)

clean:
	rm -rf build build-asan $(FUZZ_BUILD)

# Fuzzing: clang's libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer.
#   make fuzz         each fuzzer for FUZZ_SECONDS (findings in build-fuzz/fuzz-findings/)
#   make fuzz-smoke   each for FUZZ_SMOKE_SECONDS: the last part of `make test`
#   make test-asan    every test built with ASan+UBSan
.PHONY: fuzz fuzz-smoke fuzz-build test-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_SMOKE_SECONDS ?= 30
FUZZERS := exchange_document_fuzzer soluc_fuzzer dbf_fuzzer

fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTRANSORVANO_BUILD_FUZZERS=ON -DBUILD_TESTING=OFF -DTRANSORVANO_BUILD_GUI=OFF >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZERS)

fuzz: fuzz-build
	@fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz-smoke: fuzz-build
	@FUZZ_SEED=1 fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SMOKE_SECONDS)

test-asan: deps
	cmake --preset asan -DBUILD_TESTING=ON -DTRANSORVANO_BUILD_GUI=ON >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)
