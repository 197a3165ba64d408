#!/usr/bin/env bash
# Builds the library, the stand-ins and the tests, and runs the whole suite:
# in a normal build, under AddressSanitizer + UBSan and under ThreadSanitizer.
# Arguments name the builds to run instead (normal, release, asan, tsan);
# release is the optimised build (-O3), whose warnings differ from the
# normal build's.
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
    ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" ${CTEST_EXCLUDE:+-LE "$CTEST_EXCLUDE"}
}

suites=("$@")
[ ${#suites[@]} -gt 0 ] || suites=(normal asan tsan)
for s in "${suites[@]}"; do
  case $s in
    normal) run_suite build ;;
    # The optimised build checks what optimisation changes in our own code;
    # the tests against real broker servers run in the other builds.
    release) CTEST_EXCLUDE=brokers run_suite build-release -DCMAKE_BUILD_TYPE=Release ;;
    asan) run_suite build-asan -DCMD_ZEL_SANITIZE=address ;;
    tsan) run_suite build-tsan -DCMD_ZEL_SANITIZE=thread ;;
    *) echo "unknown build: $s (normal, release, asan, tsan)" >&2; exit 2 ;;
  esac
done
