#!/usr/bin/env bash
# Builds the fuzz targets (clang, address + undefined-behaviour sanitizers)
# and runs each for FUZZ_SECONDS (default 60) on its corpus in Fuzz/corpus.
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
  -DHACQ_FUZZ=ON -DHACQ_TESTS=OFF -DHACQ_BENCHMARKS=OFF -DHACQ_SANITIZE="address;undefined"
cmake --build "$build" --parallel "$(nproc)" \
  $(printf -- '--target fuzz_%s ' "${targets[@]}")

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
for target in "${targets[@]}"; do
  scratch="$build/corpus/$target"
  artifacts="$build/findings/$target/"
  mkdir -p "$scratch" "$artifacts"
  echo "== fuzz_$target for ${seconds} s"
  "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="$artifacts" \
    "$scratch" "Fuzz/corpus/$target"
done
echo "fuzzing: ${#targets[@]} targets ran ${seconds} s each without findings"
