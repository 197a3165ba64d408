#!/usr/bin/env bash
# A RabbitMQ and an ActiveMQ server of one test run, on free loopback ports,
# with data and logs in DIR (owned by the servers' users when run as root).
#   broker-servers.sh start DIR [OWNER_PID] [rabbitmq]
#       starts them (only RabbitMQ with "rabbitmq"), waits until they accept
#       connections (90 s at most) and writes DIR/ports: "AMQP_PORT MQTT_PORT".
#       A watcher stops them when OWNER_PID (default: the caller) ends, so
#       none outlives the program or ctest run that started them.
#   broker-servers.sh stop DIR
#       stops them and removes DIR.
#   broker-servers.sh amqp-stop|amqp-start DIR
#       stops or starts RabbitMQ's application inside its node: connections
#       are closed and the port refuses meanwhile; durable data is kept.
set -euo pipefail
cmd=$1 dir=$2
here=$(cd "$(dirname "$0")" && pwd)

settings() {
  read -r amqp mqtt dist epmd <"$dir/all-ports"
  export RABBITMQ_MNESIA_BASE=$dir/rabbit/mnesia RABBITMQ_LOG_BASE=$dir/rabbit/log \
    RABBITMQ_NODENAME=cmd_zel_$amqp@localhost RABBITMQ_NODE_IP_ADDRESS=127.0.0.1 RABBITMQ_NODE_PORT=$amqp \
    RABBITMQ_DIST_PORT=$dist ERL_EPMD_PORT=$epmd RABBITMQ_PID_FILE=$dir/rabbit/pid \
    RABBITMQ_CONFIG_FILE=$dir/rabbit/rabbitmq RABBITMQ_ADVANCED_CONFIG_FILE=$dir/rabbit/advanced.config \
    RABBITMQ_CONF_ENV_FILE=$dir/rabbit/rabbitmq-env.conf RABBITMQ_ENABLED_PLUGINS_FILE=$dir/rabbit/enabled_plugins \
    ACTIVEMQ_CONF=$dir/activemq/conf ACTIVEMQ_DATA=$dir/activemq/data ACTIVEMQ_TMP=$dir/activemq/tmp \
    ACTIVEMQ_PIDFILE=$dir/activemq/pid
  # Debian's ActiveMQ leaves out the MQTT codec its MQTT transport needs.
  export ACTIVEMQ_USER_CLASSPATH=/usr/share/java/mqtt-client.jar:/usr/share/java/hawtdispatch.jar:/usr/share/java/hawtdispatch-transport.jar
}

# USER COMMAND...: as the server's user when root (which also sets HOME,
# where RabbitMQ's tools find the node's cookie).
as() {
  local user=$1
  shift
  if [ "$(id -u)" -eq 0 ]; then runuser -u "$user" -- "$@"; else "$@"; fi
}

# NAME USER COMMAND...: started in a process group of its own, so that the
# server and everything it starts are stopped together.
launch() {
  local name=$1
  shift
  (cd "$dir" && exec setsid bash -c "$(declare -f as); as \"\$@\"" as "$@" >"$dir/$name.log" 2>&1 </dev/null) &
  echo $! >"$dir/$name.pgid"
}

wait_for() { # PORT...: each accepts connections, within 90 s
  local deadline=$((SECONDS + 90))
  for port in "$@"; do
    until (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do
      [ $SECONDS -lt $deadline ] || { echo "port $port does not listen (logs in $dir)" >&2; return 1; }
      sleep 0.1
    done
  done
}

case $cmd in
  start)
    owner=${3:-$PPID}
    rm -rf "$dir"
    mkdir -p "$dir/rabbit/mnesia" "$dir/rabbit/log" "$dir/activemq/conf" "$dir/activemq/data" "$dir/activemq/tmp"
    chmod 755 "$dir"
    python3 -c 'import socket
s = [socket.socket() for _ in range(4)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])' >"$dir/all-ports"
    settings
    echo "[]." >"$dir/rabbit/enabled_plugins"
    sed "s|@DATA@|$dir/activemq/data|g; s|@PORT@|$mqtt|" "$here/activemq-test.xml" >"$dir/activemq/conf/activemq.xml"
    if [ "$(id -u)" -eq 0 ]; then
      chown -R rabbitmq: "$dir/rabbit"
      chown -R activemq: "$dir/activemq"
    fi
    launch epmd rabbitmq epmd -port "$epmd" # the node's own port mapper
    wait_for "$epmd"
    launch rabbit rabbitmq /usr/lib/rabbitmq/bin/rabbitmq-server
    ports=$amqp
    if [ "${4:-}" != rabbitmq ]; then
      launch activemq activemq /usr/bin/activemq console "xbean:file:$dir/activemq/conf/activemq.xml"
      ports="$amqp $mqtt"
    fi
    (while kill -0 "$owner" 2>/dev/null && [ -d "$dir" ]; do sleep 1; done
     [ ! -d "$dir" ] || "$0" stop "$dir") >/dev/null 2>&1 </dev/null &
    wait_for $ports
    echo "$amqp $mqtt" >"$dir/ports"
    ;;
  stop)
    for f in "$dir"/*.pgid; do
      [ ! -e "$f" ] || kill -KILL -- "-$(cat "$f")" 2>/dev/null || true
    done
    rm -rf "$dir"
    ;;
  amqp-stop | amqp-start)
    settings
    as rabbitmq timeout 60 /usr/lib/rabbitmq/bin/rabbitmqctl -n "$RABBITMQ_NODENAME" "${cmd#amqp-}_app" \
      >>"$dir/rabbitmqctl.log" 2>&1
    [ "$cmd" = amqp-stop ] || wait_for "$amqp"
    ;;
  *) echo "usage: $0 start|stop|amqp-stop|amqp-start DIR" >&2; exit 2 ;;
esac
