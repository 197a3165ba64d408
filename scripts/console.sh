#!/usr/bin/env bash
# Builds what the console needs and runs it against the simulated device.
# Without arguments it sends a short series of example commands.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target zel_console >/dev/null
if [ $# -gt 0 ]; then
  exec build/tools/zel_console "$@"
fi
build/tools/zel_console get '{"command":40}'
build/tools/zel_console set '{"command":-1}'
build/tools/zel_console set 'not json'
