#!/usr/bin/env bash
# Debian packages the fuzz targets need besides the build's own: clang and
# its runtimes (libFuzzer, address and undefined-behaviour sanitizers).
set -euo pipefail
bash "$(dirname "$0")/install_deps.sh"
packages=(clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
