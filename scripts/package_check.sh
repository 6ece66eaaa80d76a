#!/usr/bin/env bash
# Builds the Debian package in a build folder, installs it, runs what it
# installed with nothing of the build folder on any path, builds a program
# against the installed conversion library (pkg-config and CMake package),
# then purges the package and checks that nothing of it is left.  As root,
# on a machine where the package is not installed:
#
#   bash scripts/package_check.sh [BUILD_DIR]      default: build
#
# An existing build folder (the normal stage's) is reused: it is configured
# for /usr and only what changed is built again.  A new one is made without
# tests and benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="$PWD"
build="${1:-build}"
package=hacqombrix

fail() {
  echo "package check: $*" >&2
  exit 1
}

if dpkg -s "$package" >/dev/null 2>&1; then
  fail "$package is installed already; 'dpkg --purge $package' first"
fi

options=(-DCMAKE_INSTALL_PREFIX=/usr)
[ -f "$build/CMakeCache.txt" ] || options+=(-DHACQ_TESTS=OFF -DHACQ_BENCHMARKS=OFF)
cmake -S . -B "$build" "${options[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/${package}_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/${package}_*.deb)
version=$(dpkg-deb -f "$deb" Version)

echo "== $deb"
dpkg-deb -f "$deb" Depends
dpkg-deb -c "$deb"

# Every path of the package, and which of them exist before it is installed
# (the folders it shares with the system, like /usr/bin).
mapfile -t paths < <(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep -v '^/\?$')
existing=()
for path in "${paths[@]}"; do
  if [ -e "$path" ] || [ -L "$path" ]; then existing+=("$path"); fi
done

work=$(mktemp -d)
installed=0
cleanup() {
  [ "$installed" = 0 ] || dpkg --purge "$package" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
run() { (cd "$work" && env -i PATH=/usr/bin:/bin HOME="$work" "$@"); }

# The cmake --install route into a prefix of its own, where the system's
# library folders hold nothing of ours: the run paths alone must do.
cmake --install "$build" --prefix "$work/prefix" >/dev/null
run "$work/prefix/bin/hacq" list --quiet >/dev/null || fail "hacq under $work/prefix does not run"

dpkg -i "$deb"
installed=1

# Our libraries live in their own folder only; every run path is relative.
for path in "${paths[@]}"; do
  case "$path" in
    */libhalcon.so* | */libTervixmd*.so* | */libhAcqOmbrix.so*)
      [[ "$path" == */hacqombrix/* ]] || fail "$path is outside the private folder"
      ;;
  esac
  if [ -f "$path" ] && [ ! -L "$path" ] && file -b "$path" | grep -q '^ELF'; then
    runpath=$(readelf -d "$path" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    if tr ':' '\n' <<<"$runpath" | grep -v '^\$ORIGIN' | grep -q .; then
      fail "$path has run path '$runpath'"
    fi
  fi
done

# The installed tool, from outside the tree, with a bare environment.
run /usr/bin/hacq --version | grep -qx "hacq $version" || fail "hacq --version does not say $version"
run /usr/bin/hacq list
run /usr/bin/hacq grab --count 2 --out "$work/frames"
[ "$(ls "$work/frames"/*.png | wc -l)" = 2 ] || fail "hacq grab did not save 2 PNG files"
run env TERVIXMD_SIM_CONFIG=/usr/share/doc/$package/examples/cameras.json /usr/bin/hacq list --quiet |
  grep -qx CAM-1 || fail "the example camera file does not give CAM-1"
[ -f /usr/share/doc/$package/USAGE.md ] || fail "the manual is not installed"

# A program of another project, through pkg-config (C and C++) and through
# find_package (C and C++).
check_source="$source_dir/Tests/package/pixvane_check.c"
pixvane_flags=$(pkg-config --cflags --libs pixvane)
cc -std=c11 -Wall -Wextra -Wpedantic -Werror "$check_source" $pixvane_flags \
  -o "$work/check_pkgconfig_c"
c++ -x c++ -std=c++20 -Wall -Wextra -Wpedantic -Werror "$check_source" -x none $pixvane_flags \
  -o "$work/check_pkgconfig_cxx"
cmake -S "$source_dir/Tests/package/find_package" -B "$work/consumer" >/dev/null
cmake --build "$work/consumer" >/dev/null
for program in check_pkgconfig_c check_pkgconfig_cxx consumer/pixvane_check_c \
  consumer/pixvane_check_cxx; do
  run "$work/$program"
done

dpkg --purge "$package"
installed=0
! dpkg -s "$package" >/dev/null 2>&1 || fail "dpkg -s still knows $package"
! dpkg -L "$package" >/dev/null 2>&1 || fail "dpkg -L still knows $package"
for path in "${paths[@]}"; do
  [[ " ${existing[*]} " == *" $path "* ]] && continue
  if [ -e "$path" ] || [ -L "$path" ]; then fail "$path is left after the purge"; fi
done
echo "package check: $deb installed, used and purged without a trace"
