#!/usr/bin/env bash
# Benchmarks; figures, not tests. Two parts:
# - the portable core (preset "bench", release build), with Google Benchmark;
# - the game's frames under Wine (preset "win64", tools/framebench): how long the
#   stand-in game's thread goes without a frame while the chat box opens, takes
#   text and sends, next to the same loop left idle, for each of its loops;
#   and, in a game started with the test IME, text composed through the IME
#   with its candidate list shown and paged in the box.
# Usage:
#   scripts/bench.sh [benchmark arguments]    both parts; the arguments go to the
#                                              core's program, for example
#                                              --benchmark_filter=Hook --benchmark_repetitions=5
#   scripts/bench.sh --core [arguments]       the core alone
#   scripts/bench.sh --frames [rounds [loop ...]]   the frames alone (default 10 rounds,
#                                              loops sdl, sdl-noclip and quake)
# The frame figures depend on the machine's load: run them on a quiet machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
part=both
case "${1:-}" in
  --core) part=core; shift ;;
  --frames) part=frames; shift ;;
esac
echo "== $(uname -m), $(nproc) cores: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"

if [ "$part" != frames ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench -j "$jobs" --target parlix_core_bench >/dev/null
  build/bench/bin/parlix_core_bench "$@"
fi

if [ "$part" != core ]; then
  # SDL2.dll for the SDL2 game (cached after the first build).
  bash scripts/lib/sdl2.sh >/dev/null
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j "$jobs" --target ParlixFrameBench Parlix ParlixStandinGame ParlixTestHost ParlixTestIme >/dev/null
  # shellcheck source=lib/wine-env.sh
  source scripts/lib/wine-env.sh
  trap parlix_wine_stop EXIT
  parlix_wine_start
  echo "== frames under $("$PARLIX_WINE" --version 2>/dev/null || echo Wine): longest time without a frame per phase"
  rounds=10
  [ "$part" = frames ] && [ $# -gt 0 ] && { rounds=$1; shift; }
  loops=()
  [ "$part" = frames ] && loops=("$@")
  "$root/scripts/wine-run" build/win64/bin/ParlixFrameBench.exe "$rounds" "${loops[@]}"
fi
