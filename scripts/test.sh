#!/usr/bin/env bash
# Builds the library, the stand-ins and the tests, and runs the whole suite:
# once in a normal build and once under AddressSanitizer + UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
for variant in "build" "build-asan:-DCMD_ZEL_SANITIZE=address"; do
  dir=${variant%%:*}
  flags=""
  [ "$dir" = "$variant" ] || flags=${variant#*:}
  cmake -S . -B "$dir" -G Ninja $flags >/dev/null
  cmake --build "$dir" -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
done
