#!/usr/bin/env bash
# Debian packages the build, the tests and the tools need, and any further
# packages named as arguments.  libusb-1.0-0-dev is there for Aravis's
# pkg-config file, which fails without it; dpkg-dev (dpkg-shlibdeps) and file
# for the Debian package's dependencies.
set -euo pipefail
packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libpng-dev libaravis-dev libusb-1.0-0-dev clang-format dpkg-dev file "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
