#!/usr/bin/env bash
# Installs the normal build into a scratch directory, makes the two Debian
# packages, and builds the example outside the build tree against that
# install, once with find_package and once with pkg-config, and runs it.
# Argument: the build directory (default build).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j "$(nproc)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
stage=$scratch/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
prefix=$stage/usr

(cd "$build" && cpack -G DEB -B "$scratch/packages" >/dev/null)
for package in libcmd-zel cmd-zel-console; do
  deb=$(ls "$scratch"/packages/${package}_*.deb)
  echo "== $(basename "$deb"): $(dpkg-deb -c "$deb" | grep -c -v '/$') files"
done
grep -q 'usr/lib/pkgconfig/cmd_zel.pc' <<<"$(dpkg-deb -c "$scratch"/packages/libcmd-zel_*.deb)"
grep -q 'usr/bin/zel_console' <<<"$(dpkg-deb -c "$scratch"/packages/cmd-zel-console_*.deb)"

echo "== example with find_package"
cmake -S examples -B "$scratch/example-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/example-cmake" >/dev/null
"$scratch/example-cmake/count_face_libraries"

echo "== example with pkg-config"
cp -r examples "$scratch/example-make"
PKG_CONFIG_PATH=$prefix/lib/pkgconfig make -s -C "$scratch/example-make" >/dev/null
"$scratch/example-make/count_face_libraries"
