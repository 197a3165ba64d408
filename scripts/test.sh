#!/usr/bin/env bash
# Builds the library, the stand-ins and the tests, and runs the whole suite:
# in a normal build, under AddressSanitizer + UBSan and under ThreadSanitizer.
# The normal build is the default build type, Release (-O3). Arguments
# name the builds to run instead (normal, asan, tsan).
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

suites=("$@")
[ ${#suites[@]} -gt 0 ] || suites=(normal asan tsan)
for s in "${suites[@]}"; do
  case $s in
    normal) run_suite build ;;
    # Sanitizer reports want line numbers: -O2 with debug information.
    asan) run_suite build-asan -DCMD_ZEL_SANITIZE=address -DCMAKE_BUILD_TYPE=RelWithDebInfo ;;
    tsan) run_suite build-tsan -DCMD_ZEL_SANITIZE=thread -DCMAKE_BUILD_TYPE=RelWithDebInfo ;;
    *) echo "unknown build: $s (normal, asan, tsan)" >&2; exit 2 ;;
  esac
done
