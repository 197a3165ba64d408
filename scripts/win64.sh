#!/usr/bin/env bash
# The Windows x86-64 build: json-c and pugixml from Debian's sources (once per
# DEPS directory), cmd_zel.dll, the stand-ins' DLLs and the test suite with
# Debian's mingw-w64; the DLL's export and import tables; then, under wine64
# (headless, in a private prefix), the example program and the test suite.
#   scripts/win64.sh [BUILD_DIR]      (default build-win64)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win64}
deps=$PWD/$build-deps
scripts/win64-deps.sh "$deps"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Optimised as the Linux default build, without debug information: linking
# it is most of a mingw build's time.
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DCMAKE_PREFIX_PATH="$deps" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DCMD_ZEL_TESTS=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
scripts/check-exports.sh "$build/bin/cmd_zel.dll"

bin=$build/bin
x86_64-w64-mingw32-gcc-posix -std=c11 -Wall -Wextra -Werror -Iinclude -Iplatform/include -Iplatform/device_sdk \
  examples/count_face_libraries.c "$build/src/cmd_zel.dll.a" "$build/platform/device_sdk/libdevice_sdk.dll.a" \
  -o "$bin/count_face_libraries.exe"

# One wine server for the whole run instead of one per test program.
export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$PWD/$build/wineprefix}
mkdir -p "$WINEPREFIX"  # the server needs it; the first program fills it
/usr/lib/wine/wineserver -p
trap '/usr/lib/wine/wineserver -k || true' EXIT
/usr/lib/wine/wine64 "$bin/count_face_libraries.exe"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
