#!/usr/bin/env bash
# Runs every fuzz target under libFuzzer with the address and undefined-behaviour sanitizers,
# each for a number of seconds (default 600), from the seeds the suite's replays use.
# Builds into build-fuzz/ with clang (Debian: clang, libclang-rt-14-dev).
# Prints the executions of each target; a crash leaves its input in build-fuzz/findings/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]    targets: playlist settings command_line update_answer bmp
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(playlist settings command_line update_answer bmp)
command -v clang++ >/dev/null || { echo "fuzz.sh needs clang++ (apt-get install clang libclang-rt-14-dev)"; exit 2; }
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DKT_SANITIZE=ON -DKT_FUZZ=ON "${launcher[@]}" >/dev/null
build=()
for t in "${targets[@]}"; do
  build+=("fuzz_$t")
  [ "$t" = bmp ] && build+=(kinetrope) || build+=("test_fuzz_$t")
done
cmake --build build-fuzz --target "${build[@]}"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
summary=()
status=0
for t in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$t
  findings=build-fuzz/findings/$t
  mkdir -p "$corpus" "$findings"
  if [ "$t" = bmp ]; then
    build-fuzz/src/kinetrope --export-skin "$corpus" >/dev/null
  else
    "$(find build-fuzz/tests -name "test_fuzz_$t" -type f | head -n 1)" --write-seeds "$corpus"
  fi
  program=$(find build-fuzz/tests -name "fuzz_$t" -type f | head -n 1)
  log=build-fuzz/fuzz-$t.log
  echo "== $t for $seconds s"
  # Findings of earlier runs stay for replaying; only this run's are counted.
  stamp=$(mktemp)
  if ! "$program" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=20 \
      -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    status=1
    echo "   FAILED: see $log and $findings"
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  summary+=("$t: $runs executions in $seconds s, corpus $(ls "$corpus" | wc -l) inputs, new findings $(find "$findings" -type f -newer "$stamp" | wc -l)")
  rm -f "$stamp"
done
printf '%s\n' "${summary[@]}"
exit $status
