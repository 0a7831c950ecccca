# shellcheck shell=bash
# shellcheck disable=SC2154 # here and options come from the sourcing script
# The part of scripts/package-windows.sh and scripts/package-linux.sh that is
# the same for both; sourced, not run.
# make_package PRESET PLATFORM FORMAT README STRIP ITEM... [-- EXTRA...] with
# the options of the calling script in "${options[@]}":
#   --from DIR  package that build folder as it is (default: install the
#               dependencies and build PRESET first)
#   --out DIR   where the archive goes (default: build/)
# ITEM is FILE:TARGET, a file or folder of the build folder and the CMake
# target that makes it; EXTRA files of the source tree go in beside them.
make_package() {
  local preset=$1 platform=$2 format=$3 readme=$4 strip=$5
  shift 5
  local items=() extras=() targets=() from="" out=$here/build
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    items+=("${1%%:*}")
    targets+=("${1#*:}")
    shift
  done
  [ $# -gt 0 ] && shift && extras=("$@")
  set -- "${options[@]}"
  while [ $# -gt 0 ]; do
    case "$1" in
      --from | --out)
        [ $# -ge 2 ] || package_die "$1 needs a folder"
        if [ "$1" = --from ]; then from=$2; else out=$2; fi
        shift
        ;;
      *) package_die "unknown option $1 (options: --from DIR, --out DIR)" ;;
    esac
    shift
  done

  local build=${from:-$here/build/$preset}
  if [ -z "$from" ]; then
    "$here/scripts/install-deps.sh"
    [ "$preset" = windows-release ] && "$here/scripts/build-windows-deps.sh"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target "${targets[@]}"
  fi
  [ -f "$build/VERSION" ] || package_die "$build is not a configured build folder"
  local version name
  version=$(cat "$build/VERSION")
  name=TOLVEN-$version-$platform
  # Global: the trap runs after this function has returned.
  stage=$(mktemp -d "${TMPDIR:-/tmp}/tolven-package.XXXXXX")
  trap 'rm -rf "$stage"' EXIT
  mkdir "$stage/$name"

  local item f
  for item in "${items[@]}"; do
    [ -e "$build/$item" ] || package_die "$build/$item is missing"
    cp -R -- "$build/$item" "$stage/$name/"
  done
  # Symbols are for debugging here, not for users; the exports stay. The
  # LV2 bundle's Turtle files are text.
  find "$stage/$name" -type f ! -name '*.ttl' -print0 | xargs -0 "$strip" --strip-unneeded
  for f in "${extras[@]}"; do cp -- "$here/$f" "$stage/$name/"; done
  cp -- "$here/LICENSE" "$here/NOTICE" "$stage/$name/"
  sed "s/@VERSION@/$version/g" "$here/$readme" >"$stage/$name/README.txt"
  chmod -R u+rwX,go+rX,go-w "$stage/$name"

  mkdir -p "$out"
  local archive
  archive=$(cd "$out" && pwd)/$name.$format
  rm -f -- "$archive"
  case "$format" in
    zip) (cd "$stage" && cmake -E tar cf "$archive" --format=zip "$name") ;;
    tar.gz) (cd "$stage" && cmake -E tar czf "$archive" "$name") ;;
  esac
  echo "$archive:"
  (cd "$stage" && find "$name" -type f | sort | sed 's/^/  /')
}

package_die() {
  echo "$(basename "$0"): $*" >&2
  exit 1
}
