#!/usr/bin/env bash
# Cross-builds the static Windows libraries the distribution does not ship
# (libpng, libsndfile) from its own source packages into build/windows-deps.
# The result is cached: a second run does nothing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
prefix=$here/build/windows-deps
src=$here/build/windows-deps-src
toolchain=$here/cmake/mingw-w64-x86_64.cmake
mkdir -p "$prefix" "$src"

# build_dep SOURCE-PACKAGE STAMP CMAKE-ARGS...
build_dep() {
  local pkg=$1 stamp=$prefix/.$1.done; shift
  [ -f "$stamp" ] && return 0
  echo "== cross-building $pkg for Windows"
  # Some mirrors (security updates) list sources they do not carry: try every
  # listed version until one downloads.
  (
    cd "$src" && rm -rf "$pkg"-* "$pkg"_*
    local v ok=0
    for v in $(apt-cache showsrc "$pkg" | awk '/^Version:/ {print $2}'); do
      apt-get source -q --download-only "$pkg=$v" >/dev/null 2>&1 && { ok=1; break; }
    done
    [ "$ok" -eq 1 ] || { echo "cannot download the source of $pkg" >&2; exit 1; }
    dpkg-source -x "$pkg"_*.dsc >/dev/null
  )
  local dir
  dir=$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "${pkg%[0-9].[0-9]}*" | head -n 1)
  cmake -S "$dir" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON -Wno-dev -Wno-deprecated "$@" >/dev/null
  cmake --build "$dir/build" -j2 >/dev/null
  cmake --install "$dir/build" >/dev/null
  touch "$stamp"
}

build_dep libpng1.6 -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_HARDWARE_OPTIMIZATIONS=ON -DSKIP_INSTALL_PROGRAMS=ON
build_dep libsndfile -DBUILD_SHARED_LIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
  -DBUILD_TESTING=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF \
  -DINSTALL_MANPAGES=OFF -DBUILD_REGTEST=OFF
