#!/usr/bin/env bash
# Runs every libFuzzer target for a share of the given seconds (default 60 in all), starting from the
# seed corpus in fuzz/corpus, then runs every input that the run kept once more under AddressSanitizer.
# The long run uses the fast build (UndefinedBehaviorSanitizer only): AddressSanitizer's checked
# allocator costs most of the time of every execution, and the readers allocate a lot. New inputs go
# to a scratch copy of the corpus; a crash, a hang or a report leaves its input in build-fuzz/findings.
# Usage: scripts/fuzz.sh [TOTAL-SECONDS] [extra libFuzzer flags...]
# FUZZ_TARGETS="regini project" limits the run to those targets; FUZZ_NO_BUILD=1 skips the builds
# (for a second run beside one that built them). A long run to a fixed count: 36000 -runs=10000000.
set -euo pipefail
cd "$(dirname "$0")/.."
total=${1:-60}
shift || true
names=$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
if [ -n "${FUZZ_TARGETS:-}" ]; then
  names=$(for t in $FUZZ_TARGETS; do echo "fuzz_$t"; done)
fi
if [ -z "${FUZZ_NO_BUILD:-}" ]; then
  scripts/setup.sh
  for build in "build-fuzz address,undefined" "build-fuzz-fast undefined"; do
    dir=${build% *}
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVAKON_FUZZ=ON \
      -DZELVAKON_FUZZ_SANITIZERS="${build#* }" -DZELVAKON_TESTS=OFF -DZELVAKON_BENCH=OFF >/dev/null
    # Quiet unless it fails: then the compiler's words are what CI shows.
    if ! cmake --build "$dir" -j2 --target $names >"$dir/build.log" 2>&1; then
      grep -E -A5 'error|FAILED' "$dir/build.log" | head -60 >&2
      exit 1
    fi
  done
fi
count=$(echo $names | wc -w)
each=$(( total / count ))
[ "$each" -ge 1 ] || each=1
mkdir -p build-fuzz/findings
status=0
printf '%-12s %12s %8s %10s %9s\n' target executions seconds exec/s replayed
for n in $names; do
  name=${n#fuzz_}
  # Inputs no longer than a reader can meet usefully: longer ones only slow every execution down.
  case $name in
    bitmap) len=64 ;;
    # Whole small pictures: headers, colour table and pixel rows.
    picture) len=2048 ;;
    datheader) len=512 ;;
    # Room for the deepest key the loader accepts (512 levels); longer inputs only make deeper
    # copies of the same trees, and each execution copies and writes the whole tree three times.
    regini) len=1100 ;;
    *) len=4096 ;;  # past the profile files' 2047-character cut
  esac
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$work/" 2>/dev/null || true
  start=$(date +%s.%N)
  if ! "build-fuzz-fast/fuzz/$n" -max_total_time="$each" -max_len="$len" -timeout=10 -print_final_stats=1 \
        -artifact_prefix=build-fuzz/findings/"$name"- "$@" "$work" > "build-fuzz/$name.log" 2>&1; then
    echo "$name: FINDING, see build-fuzz/$name.log"; status=1
  fi
  end=$(date +%s.%N)
  # Every kept input once more with AddressSanitizer and leak checking.
  if ! "build-fuzz/fuzz/$n" -runs=0 -timeout=10 -artifact_prefix=build-fuzz/findings/"$name"-asan- \
        "$work" > "build-fuzz/$name-asan.log" 2>&1; then
    echo "$name: FINDING under AddressSanitizer, see build-fuzz/$name-asan.log"; status=1
  fi
  execs=$(grep -E '^stat::number_of_executed_units' "build-fuzz/$name.log" | awk '{print $2}')
  replayed=$(ls "$work" | wc -l)
  printf '%-12s %12s %8.1f %10s %9s\n' "$name" "${execs:-?}" "$(awk "BEGIN{print $end - $start}")" \
    "$(awk "BEGIN{s=$end - $start; if (s > 0 && \"${execs:-0}\" + 0 > 0) printf \"%d\", ${execs:-0} / s; else print \"?\"}")" \
    "$replayed"
  rm -rf "$work"
done
exit $status
