# The commands users type. Everything builds under build/: native/ (Linux),
# win32/ (Quillo.exe, the product) and, on kernels that run no 32-bit code,
# win64/ (the same sources built to run the Windows tests under 64-bit Wine).

SHELL := /bin/bash
JOBS ?= 2
WIN_ARCH := $(shell source scripts/wine-env.sh && echo $$QUILLO_WIN_ARCH)
WIN_TEST_DIR := build/$(WIN_ARCH)
TOOLCHAIN_win32 := cmake/mingw-i686.cmake
TOOLCHAIN_win64 := cmake/mingw-x86_64.cmake

.PHONY: all build run test bench fuzz deps native native-sanitize win32 win64 clean format

all: build

deps:
	@for tool in cmake g++ i686-w64-mingw32-g++ x86_64-w64-mingw32-g++ Xvfb import clang; do \
	  command -v $$tool >/dev/null || { scripts/install-deps.sh; break; }; done
	@[ -x /usr/lib/wine/wine64 ] && [ -d /usr/src/googletest ] || scripts/install-deps.sh
	@locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8' || scripts/install-deps.sh

native: deps
	cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build/native -j$(JOBS)

# The core and its tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
native-sanitize: deps
	cmake -S . -B build/native-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLO_SANITIZE=ON >/dev/null
	cmake --build build/native-sanitize -j$(JOBS)

# The product is always the 32-bit build; its tests are built where they can run.
win32: deps
	cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_win32) \
	  -DQUILLO_BUILD_TESTS=$(if $(filter win32,$(WIN_ARCH)),ON,OFF) >/dev/null
	cmake --build build/win32 -j$(JOBS)

win64: deps
	cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_win64) >/dev/null
	cmake --build build/win64 -j$(JOBS)

build: native win32

test: build native-sanitize $(if $(filter win64,$(WIN_ARCH)),win64)
	@echo "== native tests"
	ctest --test-dir build/native --output-on-failure -j$(JOBS)
	@echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
	ctest --test-dir build/native-sanitize --output-on-failure -j$(JOBS)
	@echo "== Windows tests under Wine ($(WIN_ARCH))"
	scripts/with-display.sh ctest --test-dir $(WIN_TEST_DIR) --output-on-failure

run: win32 $(if $(filter win64,$(WIN_ARCH)),win64)
	scripts/run-window.sh

bench: native
	bench/run.sh

fuzz: deps
	scripts/fuzz.sh

clean:
	rm -rf build

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
