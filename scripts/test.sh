#!/usr/bin/env bash
# Installs what the project needs (Debian, as root), builds and runs every test.
#
#   bash scripts/test.sh            every stage, as CI runs them
#   bash scripts/test.sh STAGE...   only the stages named
#
# Stages: normal (the layout check and the whole suite), sanitize (the whole
# suite under the address and undefined-behaviour sanitizers), thread (the tests that run operations
# from several threads, under the thread sanitizer), fuzz (each fuzz target for
# FUZZ_SECONDS, default 30 here), windows (the MinGW-w64 cross build of the DLLs),
# package (the Debian package from the normal stage's build, installed, used
# and purged: scripts/package_check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(normal sanitize thread fuzz windows package)
jobs="$(nproc)"

bash scripts/install_deps.sh

# Line tables are all the debug information a failing test's backtrace
# needs; full debug information makes the build half as slow again.
run_normal() {
  # Every C and C++ file as the root .clang-format lays it out.
  git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
  cmake --build build -j"$jobs"
  ctest --test-dir build --output-on-failure -j"$jobs"
}

# Sanitized builds optimise less and keep line tables only: compiling the
# instrumented tests at -O2 with full debug information takes four times as
# long and finds nothing more.
sanitized_flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DHACQ_BENCHMARKS=OFF
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")

# The open/close soak runs fewer cycles there: the checks are the same, the
# instrumented allocator is what makes a thousand slow.
run_sanitize() {
  cmake -S . -B build-asan "${sanitized_flags[@]}" "-DHACQ_SANITIZE=address;undefined"
  cmake --build build-asan -j"$jobs"
  HACQ_SOAK_CYCLES=100 ctest --test-dir build-asan --output-on-failure -j"$jobs"
}

# Only the programs that hold such tests are built.
thread_targets=(host_tests sdk_tests sdk_conformance_tests device_tests
  parameter_tests pixvane_tests reliability_tests)
thread_tests='Abort|Concurren|Mutex|RaceFree|Unplug|StopWakes|Stress|SdkConformance|AravisInterface'
run_thread() {
  cmake -S . -B build-tsan "${sanitized_flags[@]}" -DHACQ_SANITIZE=thread
  local targets=("${thread_targets[@]}")
  grep -q '^HACQ_ARAVIS:BOOL=ON' build-tsan/CMakeCache.txt && targets+=(aravis_interface_tests)
  cmake --build build-tsan -j"$jobs" $(printf -- '--target %s ' "${targets[@]}")
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp" \
    ctest --test-dir build-tsan --output-on-failure -j"$jobs" -R "$thread_tests"
}

# A short run per target keeps the whole under a quarter of an hour; longer
# runs: FUZZ_SECONDS=3600 bash scripts/fuzz.sh
run_fuzz() { FUZZ_SECONDS="${FUZZ_SECONDS:-30}" bash scripts/fuzz.sh; }
run_windows() { bash scripts/build_windows.sh; }
run_package() { bash scripts/package_check.sh build; }

for stage in "${stages[@]}"; do
  case "$stage" in
    normal | sanitize | thread | fuzz | windows | package)
      echo "== stage: $stage"
      start=$SECONDS
      "run_$stage"
      echo "== stage $stage passed in $((SECONDS - start)) s"
      ;;
    *)
      echo "unknown stage '$stage' (normal, sanitize, thread, fuzz, windows, package)" >&2
      exit 2
      ;;
  esac
done
