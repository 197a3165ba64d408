#!/usr/bin/env bash
# The Windows x86-64 cross build's own dependencies. Installs Debian's
# mingw-w64 toolchain, wine64 and the GoogleTest sources, then builds json-c
# and pugixml for Windows from Debian's own source packages (apt-get source,
# through a deb-src entry for the machine's mirror) into PREFIX. A PREFIX
# that already holds them is kept: CI builds them once per run.
#   scripts/win64-deps.sh PREFIX
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(realpath -m "${1:?usage: win64-deps.sh PREFIX}")
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

packages=(mingw-w64 g++-mingw-w64-x86-64 wine64 googletest dpkg-dev cmake ninja-build ccache)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ -f "$prefix/.complete" ] && exit 0

# Source packages come from the mirror the machine already uses.
sources=/etc/apt/sources.list.d/debian.sources
src_list=/etc/apt/sources.list.d/cmd-zel-deb-src.sources
if [ ! -f "$src_list" ]; then
  sed 's/^Types: deb$/Types: deb-src/' "$sources" | $SUDO tee "$src_list" >/dev/null
  $SUDO apt-get update -qq
fi

work=$prefix.work
rm -rf "$work" "$prefix"
mkdir -p "$work"
toolchain=$PWD/cmake/toolchain-mingw64.cmake
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

build() {  # source package, then its CMake options
  local package=$1
  shift
  (cd "$work" && apt-get source -qq --download-only "$package" >/dev/null &&
    dpkg-source -x "$(ls "$package"_*.dsc | head -n1)" "$package" >/dev/null)
  cmake -S "$work/$package" -B "$work/$package-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "${launcher[@]}" "$@" >/dev/null
  cmake --build "$work/$package-build" -j "$(nproc)" >/dev/null
  cmake --install "$work/$package-build" >/dev/null
}
build json-c -DBUILD_SHARED_LIBS=ON -DBUILD_STATIC_LIBS=OFF -DBUILD_TESTING=OFF -DDISABLE_WERROR=ON \
  -DBUILD_APPS=OFF
# pugixml is linked statically into the two stand-ins that use it.
build pugixml -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF
rm -rf "$work"
touch "$prefix/.complete"
