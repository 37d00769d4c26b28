#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: plain, and under
# AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

run() {
  local flavour=$1 dir=$2
  echo "== $flavour build"
  bash "$root/scripts/build.sh" "$flavour"
  echo "== $flavour tests"
  ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" --timeout 600
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
run plain "$root/build"
run sanitize "$root/build-sanitize"
