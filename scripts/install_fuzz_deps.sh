#!/usr/bin/env bash
# Debian packages the fuzz targets need besides the build's own: clang and
# its runtimes (libFuzzer, address and undefined-behaviour sanitizers).
set -euo pipefail
bash "$(dirname "$0")/install_deps.sh" clang-14 libclang-rt-14-dev
