#!/usr/bin/env bash
# Usage: scripts/build.sh [plain|sanitize]   -> build/ or build-sanitize/
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-plain}
case "$flavour" in
  plain)    dir="$root/build";          extra=() ;;
  sanitize) dir="$root/build-sanitize"; extra=(-DQIVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
  *) echo "build: unknown flavour '$flavour' (plain or sanitize)" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" "${extra[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
