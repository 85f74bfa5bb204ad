#!/usr/bin/env bash
# Builds the benchmarks of the portable core (preset "bench", release build) and
# prints their figures. Extra arguments go to the benchmark program, for example
#   scripts/bench.sh --benchmark_filter=Hook --benchmark_repetitions=5
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$jobs" --target parlix_core_bench >/dev/null
echo "== $(uname -m), $(nproc) cores: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
exec build/bench/bin/parlix_core_bench "$@"
