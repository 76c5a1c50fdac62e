# The commands users type. Everything builds under build/: native/ (Linux),
# win32/ (Quillo.exe and srt2rt.exe, the product) and, on kernels that run no
# 32-bit code, win64/ (the same sources built to run the Windows tests under
# 64-bit Wine). Whether Wine can run 32-bit code is asked only in recipes,
# which run after `deps` has installed it: asked while this file is read, a
# fresh machine would always answer no.

SHELL := /bin/bash
JOBS ?= 2
# TESTS=OFF builds the programs alone (make dist-check does, in its scratch clones).
TESTS ?= ON
PREFIX ?= /usr/local
DESTDIR ?=
WINE_ENV := source scripts/wine-env.sh
TOOLCHAIN_win32 := cmake/mingw-i686.cmake
TOOLCHAIN_win64 := cmake/mingw-x86_64.cmake

.PHONY: all build run screenshots test bench fuzz deps native native-sanitize win32 win64 windows-test-build \
	dist dist-check install clean format

all: build

# install-deps alone decides what is missing. A make run asks it once: the
# recursive runs below are told it has been asked.
deps:
	@[ -n "$(QUILLO_DEPS_ASKED)" ] || scripts/install-deps.sh

native: deps
	cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release -DQUILLO_BUILD_TESTS=$(TESTS) >/dev/null
	cmake --build build/native -j$(JOBS)

# The core and its tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
native-sanitize: deps
	cmake -S . -B build/native-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLO_SANITIZE=ON >/dev/null
	cmake --build build/native-sanitize -j$(JOBS)

# The product is always the 32-bit build. Its tests are built beside it where
# Wine can run them, so that they run against the very files that ship.
win32: deps
	@$(WINE_ENV); tests=$(TESTS); [ "$$QUILLO_WIN_ARCH" = win32 ] || tests=OFF; \
	  echo "cmake -S . -B build/win32 (tests $$tests)"; \
	  cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_win32) -DQUILLO_BUILD_TESTS=$$tests >/dev/null
	cmake --build build/win32 -j$(JOBS)

win64: deps
	cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_win64) >/dev/null
	cmake --build build/win64 -j$(JOBS)

# The 64-bit build, only where the kernel runs no 32-bit code.
windows-test-build: deps
	@$(WINE_ENV); [ "$$QUILLO_WIN_ARCH" = win32 ] || $(MAKE) --no-print-directory win64 QUILLO_DEPS_ASKED=1

build: native win32

test: build native-sanitize windows-test-build
	@echo "== native tests"
	ctest --test-dir build/native --output-on-failure -j$(JOBS)
	@echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
	ctest --test-dir build/native-sanitize --output-on-failure -j$(JOBS)
	@$(WINE_ENV); echo "== Windows tests under Wine ($$QUILLO_WIN_ARCH)"; \
	  [ "$$QUILLO_WIN_ARCH" = win32 ] || echo "make test: this kernel runs no 32-bit code, so the" \
	    "Windows tests run on the 64-bit build (build/win64), not on the 32-bit programs that ship"; \
	  scripts/with-display.sh ctest --test-dir build/$$QUILLO_WIN_ARCH --output-on-failure

run: build windows-test-build
	scripts/run-window.sh

# Refreshes the README's pictures (docs/*.png) from the window as it now is.
screenshots: build windows-test-build
	scripts/run-window.sh --screenshots

bench: native win32
	bench/run.sh

fuzz: deps
	scripts/fuzz.sh

# The downloads, in build/dist/: the Windows zip, the Linux tarball and SHA256SUMS.
dist: build
	scripts/dist.sh

# Two `make dist` from two clean clones of HEAD must give the same bytes.
dist-check: deps
	scripts/dist-check.sh

install: deps
	cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release -DQUILLO_BUILD_TESTS=$(TESTS) >/dev/null
	cmake --build build/native -j$(JOBS) --target srt2rt
	scripts/install.sh "$(DESTDIR)$(PREFIX)"

clean:
	rm -rf build

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
