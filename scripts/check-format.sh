#!/usr/bin/env bash
# Fails when a C or C++ file of the project differs from .clang-format's
# layout; with --fix, rewrites them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang-format
files=$(git ls-files '*.c' '*.cc' '*.cpp' '*.h' '*.hpp')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i $files
else
  clang-format --dry-run --Werror $files
  echo "format: $(echo "$files" | wc -l) files as .clang-format lays them out"
fi
