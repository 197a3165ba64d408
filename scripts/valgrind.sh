#!/usr/bin/env bash
# Runs every test program of the normal build under valgrind memcheck: no
# error, nothing definitely or indirectly lost. Tests that need something
# only ctest provides (the broker servers) skip here; they are reported as
# skipped with the reason.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v valgrind >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq valgrind
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" >/dev/null
status=0
for t in $(find build/tests -type f -executable -name '*_test' | sort); do
  if valgrind --error-exitcode=9 --leak-check=full --errors-for-leak-kinds=definite,indirect \
       --show-leak-kinds=definite,indirect -q "$t" >"$t.valgrind.log" 2>&1; then
    skipped=$(grep -c '^\[  SKIPPED \] .* ms)$' "$t.valgrind.log" || true)
    if [ "$skipped" -gt 0 ]; then
      reason=$(awk '/: Skipped$/ { getline; print; exit }' "$t.valgrind.log")
      echo "memcheck clean, $skipped tests skipped ($reason): $t"
    else
      echo "memcheck clean: $t"
    fi
  else
    echo "memcheck FAILED: $t (see $t.valgrind.log)"
    tail -n 40 "$t.valgrind.log"
    status=1
  fi
done
exit $status
