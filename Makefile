# The two everyday commands: `make run` and `make test`. Everything else is for developers.
BUILD      ?= build
ASAN_BUILD ?= build-asan
WIN_BUILD  ?= build-windows
WIN_DEPS   ?= build-windows-deps
JOBS       ?= $(shell nproc)
ARGS       ?=
CTEST_ARGS ?=

.PHONY: all bootstrap configure build run test asan bench fuzz windows windows-test clean

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: bootstrap $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Builds, prepares the demo installation and starts the dictionary in the classic layout;
# `make run ARGS=newservice` starts the multi-language layout (ARGS go to the program).
run: build
	@scripts/run $(BUILD) $(ARGS)

# Builds and runs every test inside the real components (X server, audio server, ...).
test: build
	scripts/test-env ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j $(JOBS) $(CTEST_ARGS)

# The same suite built with AddressSanitizer and UBSan.
asan: bootstrap
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DZANIT_SANITIZE=ON -DZANIT_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  scripts/test-env ctest --test-dir $(ASAN_BUILD) --output-on-failure --no-tests=error -j $(JOBS) -LE slow $(CTEST_ARGS)

# The benchmarks of windows, skins and sound need an X server and an audio server: they run inside the same
# components as the tests.
bench: build
	@scripts/test-env scripts/bench $(BUILD)

# libFuzzer targets under clang with ASan; FUZZ_SECONDS each.
FUZZ_SECONDS ?= 60
fuzz: bootstrap
	@scripts/fuzz $(FUZZ_SECONDS)

# The Windows build with Debian's MinGW-w64 cross compiler: engine, logic libraries, command-line tools and logic
# tests as .exe files in $(WIN_BUILD)/bin. libsodium and GoogleTest are cross-built once into $(WIN_DEPS).
windows: bootstrap
	@scripts/windows-deps $(WIN_DEPS) >/dev/null
	@[ -f $(WIN_BUILD)/build.ninja ] || cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DZANIT_WINDOWS_DEPS=$(abspath $(WIN_DEPS))/prefix \
	  -DZANIT_LINUX_BUILD=$(abspath $(BUILD))
	cmake --build $(WIN_BUILD) -j $(JOBS)

# The tests of the Windows build under Wine, in a fresh Wine prefix ($(WIN_BUILD)/wine). The exchange tests
# use the command-line tools of the Linux build as the other side.
windows-test: windows configure
	cmake --build $(BUILD) -j $(JOBS) --target zanit-table zanit-dict zanit-import zanit-setup zanit-lookup
	@scripts/windows-test $(WIN_BUILD) $(CTEST_ARGS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz $(WIN_BUILD) $(WIN_DEPS)
