#!/usr/bin/env bash
# Builds what the console needs and runs it against the simulated device:
# the demo script without arguments (in tools/demo/, whose broker
# configuration starts the library's message senders), otherwise the console
# with the arguments given (set|get JSON, run FILE, shell, commands,
# help set|get N).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target zel_console >/dev/null
if [ $# -eq 0 ]; then
  cd tools/demo
  exec ../../build/tools/zel_console run ../demo.zel
fi
exec build/tools/zel_console "$@"
