#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with. Safe to run
# again: packages already present are left as they are.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config binutils libjson-c-dev libssl-dev tzdata libgtest-dev libgmock-dev libbenchmark-dev libedit-dev libpugixml-dev
  librabbitmq-dev libpaho-mqtt-dev rabbitmq-server activemq libmqtt-client-java python3)
# The broker servers are for the tests, which start their own instances on
# private ports. Installing them must not start the system-wide ones
# (rabbitmq-server and epmd on their standard ports): unless the machine
# already has a policy, a temporary policy-rc.d denies service starts while
# the packages are installed. libmqtt-client-java carries the MQTT codec
# that Debian's ActiveMQ needs for its MQTT transport but does not depend on.
# python3 finds free ports for the test servers (scripts/broker-servers.sh).
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  policy=/usr/sbin/policy-rc.d
  own_policy=""
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
    $SUDO chmod 755 "$policy"
    own_policy=yes
    trap '$SUDO rm -f "$policy"' EXIT
  fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
  if [ -n "$own_policy" ]; then
    $SUDO rm -f "$policy"
    trap - EXIT
  fi
fi
