#!/usr/bin/env bash
# Runs every fuzz target of a build for a bounded time each, starting from
# its seed corpus in fuzz/corpus/<target>/ when there is one.
# Usage: scripts/fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:?usage: fuzz.sh BUILD_DIR SECONDS}
seconds=${2:-20}
cd "$(dirname "$0")/.."
found=0
for fuzzer in "$build"/bin/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  found=1
  name=$(basename "$fuzzer")
  work=$(mktemp -d)
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  echo "--- $name for ${seconds}s"
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "$work" "${seeds[@]}" 2>&1 | grep -v "# Uses: " | tail -n 12
  rm -rf "$work"
done
[ "$found" -eq 1 ] || echo "no fuzz targets in $build"
