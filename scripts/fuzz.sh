#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UBSan) and runs
# each for FUZZ_SECONDS (default 60) on its seeds, with a dictionary of every
# member name the handlers read. A crash leaves its reproducer in
# build-fuzz/findings/<target>/: keep it under fuzz/regressions/<target>/
# once fixed, where every build replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
    || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$p"
done
seconds=${FUZZ_SECONDS:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMD_ZEL_FUZZ=ON -DCMD_ZEL_SANITIZE=address -DCMD_ZEL_TESTS=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target dispatch_fuzz accessors_fuzz events_fuzz mq_config_fuzz

dict=build-fuzz/members.dict
{
  echo '"command"'
  # The broker configuration file's keys.
  for key in trafficmq temphummmq ip username password amq rmq; do echo "\"$key\""; done
  grep -rhoE '(json_object_get_field_(int|int64|double|string)|json_object_object_get|read_[a-z_]+)\([^,]+, *"[^"]+"' src \
    | sed -E 's/.*"([^"]+)"$/"\1"/'
  # Members read through member tables: {"key", &record::field, ...}.
  grep -rhoE '\{"[a-z0-9_]+", &[A-Za-z_:]+' src | sed -E 's/^\{("[^"]+").*/\1/'
} | sort -u > "$dict"

for target in dispatch accessors events mq_config; do
  corpus=build-fuzz/corpus/$target
  findings=build-fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  echo "== $target: ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 build-fuzz/fuzz/${target}_fuzz -max_total_time="$seconds" \
    -dict="$dict" -artifact_prefix="$findings/" -print_final_stats=1 \
    "$corpus" fuzz/corpus/$target fuzz/regressions/$target 2>&1 | tail -n 12
done
