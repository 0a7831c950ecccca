#!/usr/bin/env bash
# Installs everything the build, tools and tests need from the distribution's
# packages, as root or through sudo. Safe to run again.
set -euo pipefail

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  googletest libgtest-dev libbenchmark-dev valgrind
  libpng-dev zlib1g-dev libsndfile1-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libx11-dev libxext-dev libxtst-dev xvfb xauth
  lv2-dev liblilv-dev lilv-utils sordi
  juce-modules-source-data
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64
  clang libfuzzer-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# The Windows libraries are built from the distribution's source packages, so
# source entries are needed beside the binary ones (same mirrors and suites).
enable_sources() {
  grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/ && return 1
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && { sed 's/^Types:.*/Types: deb-src/' "$f"; echo; }
  done | as_root tee /etc/apt/sources.list.d/tolven-deb-src.sources >/dev/null
  if [ -f /etc/apt/sources.list ]; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      as_root tee /etc/apt/sources.list.d/tolven-deb-src.list >/dev/null
  fi
  return 0
}

need_update=0
enable_sources && need_update=1
[ "${#missing[@]}" -gt 0 ] && need_update=1
if [ "$need_update" -eq 1 ]; then
  echo "== installing: ${missing[*]:-(package lists only)}"
  as_root apt-get update -q
fi
if [ "${#missing[@]}" -gt 0 ]; then
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
