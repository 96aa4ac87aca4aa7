#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, the same tests under
# AddressSanitizer + UndefinedBehaviorSanitizer, and each fuzz target briefly over its seed corpus.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-packages.sh
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
# Paths relative to the checkout, so that a clone in another folder reuses the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
jobs=$(nproc)
fuzz_runs="${TLX_FUZZ_RUNS:-3000}"

count_passed() { sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$1" | tail -n 1; }

echo "== format"
# The tree is kept in the project's clang-format style; a file out of it fails the run.
find src tests bench fuzz tools \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror
echo "format: ok"

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
ninja -C build
echo "== tests"
ctest --test-dir build --output-on-failure -j "$jobs" | tee build/ctest.log
normal=$(count_passed build/ctest.log)

echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTLX_SANITIZE=ON > /dev/null
ninja -C build-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" | tee build-asan/ctest.log
sanitized=$(count_passed build-asan/ctest.log)

echo "== fuzz targets ($fuzz_runs runs each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTLX_FUZZ=ON > /dev/null
ninja -C build-fuzz
rm -rf build-fuzz/corpus && ./tools/make_fuzz_corpus.sh build-fuzz/corpus
fuzzed=0
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "build-fuzz/corpus/$name"
  "$target" -runs="$fuzz_runs" -max_len=65536 -rss_limit_mb=4096 "build-fuzz/corpus/$name" > "build-fuzz/$name.log" 2>&1 \
    || { tail -n 40 "build-fuzz/$name.log"; echo "fuzz target $name failed"; exit 1; }
  echo "fuzz $name: ok"
  fuzzed=$((fuzzed + 1))
done

echo "all: $((normal + sanitized + fuzzed)) passed, 0 failed"
