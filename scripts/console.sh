#!/usr/bin/env bash
# Builds what the console needs and runs it against the simulated device:
# the demo script without arguments (in tools/demo/, whose broker
# configuration starts the library's message senders), otherwise the console
# with the arguments given (set|get JSON, run FILE, shell, commands,
# help set|get N).
# --rabbitmq first: the demo's events go to the RabbitMQ server listening on
# 127.0.0.1 (port RABBITMQ_PORT, default 5672, user guest) instead of the
# embedded broker, into the queues cmd_zel.demo.temphum and
# cmd_zel.demo.traffic (tools/demo_rabbitmq.json); without such a server the
# demo runs on the embedded broker as usual.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target zel_console >/dev/null
if [ "${1:-}" = "--rabbitmq" ]; then
  shift
  port=${RABBITMQ_PORT:-5672}
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    # The demo's directory with the configuration that names the server.
    dir=$(mktemp -d)
    trap 'rm -rf "$dir"' EXIT
    cp -r tools/demo/. "$dir"
    sed "s/\"port\": 5672/\"port\": $port/" tools/demo_rabbitmq.json >"$dir/var/platform/vs_config.json"
    (cd "$dir" && CMD_ZEL_BROKERS=real "$OLDPWD/build/tools/zel_console" run "$OLDPWD/tools/demo.zel")
    echo "The demo's messages went to RabbitMQ at 127.0.0.1:$port, queues cmd_zel.demo.temphum and cmd_zel.demo.traffic."
    exit 0
  fi
  echo "No RabbitMQ server listens on 127.0.0.1:$port: the demo's messages go to the embedded broker." >&2
fi
if [ $# -eq 0 ]; then
  cd tools/demo
  exec ../../build/tools/zel_console run ../demo.zel
fi
exec build/tools/zel_console "$@"
