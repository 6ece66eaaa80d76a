#!/usr/bin/env bash
# Cross-builds the Windows libraries with Debian's MinGW-w64 (x86_64, POSIX
# threads): hAcqOmbrix.dll, halcon.dll, Pixvane.dll and Tervixmd.dll in
# build-mingw/bin, next to the MinGW runtime libraries they need.  Checks
# that the interface exports FGInit and the six camera-listing functions
# and loads its libraries with LoadLibraryA / GetProcAddress, then runs the
# smoke check (open, set, read, grab, close) under Wine.  HACQ_WINE=0 skips
# Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${WINDOWS_BUILD_DIR:-build-mingw}"

bash scripts/install_deps.sh  # cmake and the JSON headers
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq mingw-w64
fi

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHACQ_TESTS=OFF -DHACQ_BENCHMARKS=OFF
cmake --build "$build" --parallel "$(nproc)" --target hAcqOmbrix halcon Pixvane Tervixmd hacq_windows_smoke

# The runtime of the compiler, so the folder runs as it is.
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  cp "$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")" "$build/bin/"
done

failed=0
for dll in hAcqOmbrix halcon Pixvane Tervixmd; do
  if [ ! -f "$build/bin/$dll.dll" ]; then
    echo "missing: $build/bin/$dll.dll"
    failed=1
  fi
done
[ "$failed" = 0 ] || exit 1

dump=$(x86_64-w64-mingw32-objdump -p "$build/bin/hAcqOmbrix.dll")
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump")
for name in FGInit discovery_camera getKey getModelName getName getSerialNumber getVendorName; do
  if ! grep -qw "$name" <<<"$exports"; then
    echo "hAcqOmbrix.dll does not export $name"
    failed=1
  fi
done
for name in LoadLibraryA GetProcAddress MessageBoxA; do
  if ! grep -qw "$name" <<<"$dump"; then
    echo "hAcqOmbrix.dll does not import $name"
    failed=1
  fi
done
[ "$failed" = 0 ] || exit 1
echo "Windows build: 4 libraries in $build/bin, hAcqOmbrix.dll exports FGInit and 6 listing functions"

[ "${HACQ_WINE:-1}" != 0 ] || exit 0
if [ ! -x /usr/lib/wine/wine64 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends wine64
fi
export WINEPREFIX="${WINEPREFIX:-$PWD/$build/wine}" WINEDEBUG=-all
(cd "$build/bin" && timeout 300 /usr/lib/wine/wine64 hacq_windows_smoke.exe)
