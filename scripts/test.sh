#!/usr/bin/env bash
# Builds the library, the stand-ins and the tests, and runs the whole suite:
# in a normal build, under AddressSanitizer + UBSan and under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

run_suite() {
  local dir=$1
  shift
  echo "== $dir $*"
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 TSAN_OPTIONS=halt_on_error=1 \
    ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
}

run_suite build
run_suite build-asan -DCMD_ZEL_SANITIZE=address
run_suite build-tsan -DCMD_ZEL_SANITIZE=thread
