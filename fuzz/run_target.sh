#!/usr/bin/env bash
# One deterministic fuzz run, as the test command makes it: every kept input of the
# target's corpus folder (inputs that once broke a property, or that reach far)
# replayed in name order, then a fixed number of new inputs from a fixed seed,
# grown from an empty scratch corpus, so the same commit gives the same result on
# every run. Long random runs are scripts/fuzz.sh's job.
# Usage: run_target.sh FUZZER KEPT_CORPUS SCRATCH_DIR ARTIFACT_PREFIX RUNS SEED
set -euo pipefail
fuzzer=$1 kept=$2 scratch=$3 artifacts=$4 runs=$5 seed=$6

inputs=()
[ -d "$kept" ] && mapfile -t inputs < <(find "$kept" -maxdepth 1 -type f ! -name '.*' | LC_ALL=C sort)
if [ ${#inputs[@]} -gt 0 ]; then
  echo "replaying ${#inputs[@]} kept inputs of $kept"
  "$fuzzer" -rss_limit_mb=1024 -timeout=10 "${inputs[@]}"
fi

# Address-space randomisation would change which coverage features indirect calls
# give from run to run, and with them the inputs that follow: turn it off.
fixed_layout=()
setarch -R true 2>/dev/null && fixed_layout=(setarch -R)

rm -rf "$scratch"
mkdir -p "$scratch" "$(dirname "$artifacts")"
"${fixed_layout[@]}" "$fuzzer" -seed="$seed" -runs="$runs" -timeout=10 -rss_limit_mb=1024 \
  -artifact_prefix="$artifacts" -print_final_stats=1 "$scratch"
