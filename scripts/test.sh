#!/usr/bin/env bash
# Runs every test: the portable core natively (also under ASan and UBSan), the
# 32-bit product's static checks, the Win32 and end-to-end suites of the 64-bit
# build under wine64 and Xvfb, and, where this machine runs 32-bit programs, the
# 32-bit suites under 32-bit Wine, the end-to-end suite also against the product
# build itself; then fixed-seed fuzzing runs. The same commit gives the same result
# on every run.
# Usage: scripts/test.sh [--no-deps]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ "${1:-}" = --no-deps ] || bash scripts/lib/deps.sh test || exit 1
jobs=$(nproc)
passed=0 failed=0 skipped=0
failures=()

# Adds up the outcome of one ctest run from its own summary.
tally() {
  local log=$1 name=$2 total fails skips
  total=$(sed -n 's/.*tests passed, [0-9]* tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  fails=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -1)
  skips=$(grep -c '\*\*\*Skipped\|Not Run' "$log")
  if [ -z "$total" ]; then failed=$((failed + 1)); failures+=("$name: no result"); return; fi
  passed=$((passed + total - fails - skips)); failed=$((failed + fails)); skipped=$((skipped + skips))
  [ "$fails" = 0 ] || failures+=("$name: $(grep -E '^\s+[0-9]+ - ' "$log" | tr -s ' ' | tr '\n' ';')")
}

build() {
  local preset=$1
  echo "== $preset: build"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs"; } \
      >"build/$preset.build.log" 2>&1; then
    tail -40 "build/$preset.build.log"
    failed=$((failed + 1)); failures+=("$preset: build failed"); return 1
  fi
  grep -A1 'Parlix.dll (' "build/$preset.build.log" | grep -v '^--' | paste - - || true
}

run() {
  local preset=$1; shift
  echo "== $preset: test"
  (cd "build/$preset" && timeout 2400 ctest --output-on-failure --timeout 400 "$@") \
    >"build/$preset.test.log" 2>&1
  cat "build/$preset.test.log"
  tally "build/$preset.test.log" "$preset"
}

suite() { build "$1" && run "$@"; }

mkdir -p build
# SDL2.dll for the SDL2 game of the Win32 suites, built once and cached by
# version; the suites then hold its absence for a failure, not a skip.
echo "== SDL2: build (cached after the first run)"
if bash scripts/lib/sdl2.sh >build/sdl2.log 2>&1; then
  export PARLIX_REQUIRE_SDL2_GAME=1
else
  tail -20 build/sdl2.log
  failed=$((failed + 1)); failures+=("SDL2: its build failed (build/sdl2.log)")
fi
suite native
suite native-asan
suite win32
# Built everywhere, so that a 32-bit compile error fails the run on every machine.
build win32-tests && built32=yes || built32=no

source scripts/lib/runs32.sh
runs32=no
parlix_runs_32bit && /usr/lib/wine/wine --version >/dev/null 2>&1 && runs32=yes

source scripts/lib/wine-env.sh
trap parlix_wine_stop EXIT
if parlix_wine_start; then
  build win64 && run win64
else
  failed=$((failed + 1)); failures+=("win64: Wine or the X display could not start")
fi
parlix_wineserver_stop
if [ "$runs32" = yes ]; then
  export PARLIX_WINE_BITS=32
  source scripts/lib/wine-env.sh
  if ! parlix_wine_start; then
    failed=$((failed + 1)); failures+=("win32-tests: 32-bit Wine could not start")
    summary32="32-bit: this machine runs 32-bit programs, but 32-bit Wine could not start"
  elif [ "$built32" = yes ]; then
    run win32-tests
    summary32="32-bit: the unit, Win32 and end-to-end suites ran under 32-bit Wine, end-to-end also against the product build"
  else
    summary32="32-bit: this machine runs 32-bit programs, but the 32-bit test build failed"
  fi
else
  echo "== win32-tests: built, not run: this machine cannot run 32-bit programs"
  skipped=$((skipped + 1))
  summary32="32-bit: built and checked statically only, this machine cannot run 32-bit programs"
fi
parlix_wine_stop
trap - EXIT

if [ -f fuzz/CMakeLists.txt ]; then suite fuzz; fi
if [ -f bench/CMakeLists.txt ]; then
  echo "== bench: build only (run them with scripts/bench.sh)"
  { cmake --preset bench >/dev/null && cmake --build --preset bench -j "$jobs"; } \
    >build/bench.build.log 2>&1 || { tail -20 build/bench.build.log; failed=$((failed + 1)); failures+=("bench: build failed"); }
fi

for f in "${failures[@]}"; do echo "FAILED $f"; done
echo "$summary32"
echo "tests: $passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]
