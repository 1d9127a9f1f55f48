#!/usr/bin/env bash
# Runs every libFuzzer target for a share of the given seconds (default 60 in all), starting from the
# seed corpus in fuzz/corpus. New inputs go to a scratch copy; a crash leaves its input in build-fuzz/findings.
# Usage: scripts/fuzz.sh [TOTAL-SECONDS] [extra libFuzzer flags...]
set -euo pipefail
cd "$(dirname "$0")/.."
total=${1:-60}
shift || true
scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZELVAKON_FUZZ=ON -DZELVAKON_TESTS=OFF -DZELVAKON_BENCH=OFF >/dev/null
names=$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
cmake --build build-fuzz -j2 --target $names >/dev/null
targets=()
for n in $names; do targets+=("build-fuzz/fuzz/$n"); done
each=$(( total / ${#targets[@]} ))
[ "$each" -ge 1 ] || each=1
mkdir -p build-fuzz/findings
status=0
printf '%-16s %12s %8s\n' target executions seconds
for t in "${targets[@]}"; do
  name=$(basename "$t"); name=${name#fuzz_}
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$work/" 2>/dev/null || true
  start=$(date +%s.%N)
  if ! "$t" -max_total_time="$each" -max_len=65536 -print_final_stats=1 \
        -artifact_prefix=build-fuzz/findings/"$name"- "$@" "$work" > "build-fuzz/$name.log" 2>&1; then
    echo "$name: FINDING, see build-fuzz/$name.log"; status=1
  fi
  end=$(date +%s.%N)
  execs=$(grep -E '^stat::number_of_executed_units' "build-fuzz/$name.log" | awk '{print $2}')
  printf '%-16s %12s %8.1f\n' "$name" "${execs:-?}" "$(awk "BEGIN{print $end - $start}")"
  rm -rf "$work"
done
exit $status
