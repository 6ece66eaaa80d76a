#!/usr/bin/env bash
# From a fresh checkout to PNG files of the simulated cameras in one command:
# installs the packages (Debian, as root), builds the tool and the libraries
# it loads (no tests, no benchmarks), lists the cameras and grabs five frames
# from each into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_deps.sh
# A build directory of its own, so the test build's settings stay as they are.
cmake -S . -B build-quickstart -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHACQ_TESTS=OFF -DHACQ_BENCHMARKS=OFF
cmake --build build-quickstart -j"$(nproc)" --target hacq
hacq=build-quickstart/bin/hacq

echo
"$hacq" list
echo
"$hacq" list --quiet | while read -r key; do
  echo "== $key"
  "$hacq" grab --device "$key" --count 5 --out out/
done
echo
echo "PNG files in $(pwd)/out/:"
ls -1 out/*.png
