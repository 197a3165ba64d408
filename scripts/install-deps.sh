#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with. Safe to run
# again: packages already present are left as they are.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config binutils libjson-c-dev libssl-dev tzdata libgtest-dev libgmock-dev libbenchmark-dev libedit-dev libpugixml-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
