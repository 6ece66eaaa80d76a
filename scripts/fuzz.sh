#!/usr/bin/env bash
# Builds the fuzz targets (clang, address + undefined-behaviour sanitizers)
# and runs each for FUZZ_SECONDS (default 60) on its corpus in Fuzz/corpus,
# as many at a time as there are cores.
# New inputs go to a scratch directory, so the kept corpus only changes by
# hand.  Longer runs: FUZZ_SECONDS=3600 bash scripts/fuzz.sh
# One target: bash scripts/fuzz.sh conversion
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(set_get_params generic_open_params open_params conversion)

bash scripts/install_fuzz_deps.sh
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHACQ_FUZZ=ON -DHACQ_TESTS=OFF -DHACQ_BENCHMARKS=OFF -DHACQ_SANITIZE="address;undefined" \
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
cmake --build "$build" --parallel "$(nproc)" \
  $(printf -- '--target fuzz_%s ' "${targets[@]}")

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

# One fuzzer per core at a time; each writes its own log, shown when it ends.
fuzz_one() {
  local target=$1
  local scratch="$build/corpus/$target" artifacts="$build/findings/$target/"
  mkdir -p "$scratch" "$artifacts"
  "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="$artifacts" \
    "$scratch" "Fuzz/corpus/$target" >"$build/fuzz_$target.log" 2>&1
}
failed=()
running=()
finish_oldest() {
  local target=${running[0]%%:*} pid=${running[0]#*:}
  running=("${running[@]:1}")
  if wait "$pid"; then
    echo "== fuzz_$target: $(grep -m1 -o 'Done [0-9]* runs in [0-9]* second(s)' \
      "$build/fuzz_$target.log" || echo 'done')"
  else
    failed+=("$target")
    echo "== fuzz_$target FAILED (inputs in $build/findings/$target/):"
    tail -n 60 "$build/fuzz_$target.log"
  fi
}
echo "fuzzing ${#targets[@]} targets for ${seconds} s each, $(nproc) at a time"
for target in "${targets[@]}"; do
  [ ${#running[@]} -lt "$(nproc)" ] || finish_oldest
  fuzz_one "$target" &
  running+=("$target:$!")
done
while [ ${#running[@]} -gt 0 ]; do finish_oldest; done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing: findings in ${failed[*]}"
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets ran ${seconds} s each without findings"
