#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz": clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time.
# Usage: scripts/fuzz.sh [seconds per target, default 10] [target name ...]
#   scripts/fuzz.sh 600 history     a long run of one target
# Random seeds, unlike the test command's fixed runs. The corpus grows in
# build/fuzz/fuzz/corpus/<target>, starting from the kept inputs in
# fuzz/corpus/<target>; an input that breaks a property is saved in
# build/fuzz/fuzz/artifacts/. Keep it in fuzz/corpus/<target>/ under a name that
# says what it holds, together with the fix: every test run replays it first.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-10}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(command_line settings history key_names paint_plan chatbox_text ime_candidates)

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz -j "$(nproc)" >build/fuzz.build.log 2>&1 || { tail -30 build/fuzz.build.log; exit 1; }

failed=()
for name in "${targets[@]}"; do
  corpus=build/fuzz/fuzz/corpus/$name
  mkdir -p "$corpus" "fuzz/corpus/$name" build/fuzz/fuzz/artifacts
  echo "== fuzz_$name: ${seconds}s"
  if ! build/fuzz/bin/fuzz_"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
      -artifact_prefix="build/fuzz/fuzz/artifacts/$name-" -print_final_stats=1 "$corpus" "fuzz/corpus/$name" \
      >"build/fuzz/fuzz/$name.log" 2>&1; then
    grep -E 'property failed|ERROR|SUMMARY|Test unit written' "build/fuzz/fuzz/$name.log"
    failed+=("$name")
  else
    grep -E 'stat::number_of_executed_units|stat::new_units_added' "build/fuzz/fuzz/$name.log" | tr '\n' ' '
    echo
  fi
done
[ ${#failed[@]} -eq 0 ] && { echo "fuzz: all ${#targets[@]} targets held their properties"; exit 0; }
echo "fuzz: FAILED ${failed[*]}"
exit 1
