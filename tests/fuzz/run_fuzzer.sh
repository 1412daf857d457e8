#!/usr/bin/env bash
# Runs one fuzz target for a bounded time, starting from its seeds:
#   run_fuzzer.sh <fuzzer> <seed dir> <max input length> <seconds> <findings dir>
# libFuzzer writes the inputs it finds interesting into the first corpus
# directory, so that is a throw-away one and the seeds are only read. An
# input that breaks the model is kept in the findings directory, and a
# dictionary <seed dir>.dict is used when there is one. The random seed is
# fixed so that a run can be repeated.
set -euo pipefail
fuzzer=$1 seeds=$2 max_len=$3 seconds=$4 findings=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$findings"
options=(-max_total_time="$seconds" -max_len="$max_len" -seed=1 -timeout=10
         -print_final_stats=1 -artifact_prefix="$findings/$(basename "$fuzzer")-")
if [ -f "$seeds.dict" ]; then
    options+=(-dict="$seeds.dict")
fi
"$fuzzer" "${options[@]}" "$work" "$seeds"
